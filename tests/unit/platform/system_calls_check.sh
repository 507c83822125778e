#!/usr/bin/env bash
# Nothing outside src/platform calls the operating system itself: every such call there has a
# portable counterpart, and one here would break the portable build or a port in silence.
# Usage: system_calls_check.sh SOURCE_FOLDER (the checkout's src/).
set -uo pipefail
src=${1:?usage: $0 SOURCE_FOLDER}
calls='fork|vfork|renameat2|pipe|pipe2|sigaction|signal|kill|killpg|waitpid|execv|execvp|execve'
calls+='|execl|execlp|mkstemp|mkstemps|mkostemps|setpgid|setsid|isatty|prctl|flock|fsync'
calls+='|fdatasync|dlopen|posix_spawn|poll|ioctl|statvfs'
headers='unistd|fcntl|signal|poll|dlfcn|spawn|termios|pwd|sys/[a-z_]+|linux/[a-z_]+'
pattern="(^|[^A-Za-z0-9_.>])(::)?($calls)\(|#[[:space:]]*include[[:space:]]*<(($headers)\.h|csignal)>"
found=$(grep -rnE "$pattern" "$src" --include='*.c' --include='*.cpp' --include='*.h' |
  grep -v "^${src%/}/platform/")
if [[ -n "$found" ]]; then
  echo "operating-system calls outside src/platform (give them an interface there):"
  echo "$found"
  exit 1
fi
echo "no operating-system calls outside src/platform"
