#!/usr/bin/env bash
# Runs the javac-based measurement (JavacCheck.java) with the compiler's
# internal packages opened to it. Arguments are passed on.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exports=()
for p in api code parser tree util; do
  exports+=(--add-exports "jdk.compiler/com.sun.tools.javac.$p=ALL-UNNAMED")
done
exec java -Xss64m "${exports[@]}" "$here/JavacCheck.java" "$@"
