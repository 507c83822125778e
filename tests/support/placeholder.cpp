// Keeps the support library non-empty before any helper lands.
namespace orvex::test {
int supportLibraryAnchor() { return 0; }
}  // namespace orvex::test
