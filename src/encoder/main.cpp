// Placeholder until the encoder front end lands.
int main() { return 1; }
