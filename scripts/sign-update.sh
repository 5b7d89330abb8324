#!/usr/bin/env bash
# Signs a live update for publishing: the update description and the installer each get a
# minisign signature beside them (NAME.minisig), which is then verified with the public key.
#
#   scripts/sign-update.sh [-s SECRET_KEY] [-p PUBLIC_KEY] DESCRIPTION INSTALLER
#
# Defaults: the secret key ~/.minisign/minisign.key, the public key ./minisign.pub. The public
# key's second line must be the one the program was built with (TWR_UPDATE_PUBLIC_KEY).
set -euo pipefail

secret="$HOME/.minisign/minisign.key"
public="minisign.pub"
while getopts "s:p:" option; do
  case "$option" in
    s) secret="$OPTARG" ;;
    p) public="$OPTARG" ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -ne 2 ]; then
  echo "usage: $0 [-s SECRET_KEY] [-p PUBLIC_KEY] DESCRIPTION INSTALLER" >&2
  exit 2
fi
command -v minisign >/dev/null || { echo "$0: minisign is not installed" >&2; exit 1; }
[ -f "$public" ] || { echo "$0: public key $public not found" >&2; exit 1; }
for file in "$1" "$2"; do
  [ -f "$file" ] || { echo "$0: $file is not a file" >&2; exit 1; }
done

description="$1"
installer="$2"
# The running program reads only the version line of the description it verified, so the
# version is also in the trusted comment for anyone checking by hand.
version=$(sed -n 's/^current=//p' "$description" | tr -d '\r' | head -n 1)
if [ -z "$version" ]; then
  echo "$0: $description has no current= version line" >&2
  exit 1
fi

for file in "$description" "$installer"; do
  minisign -S -s "$secret" -m "$file" -t "tonewright $version $(basename "$file")"
  # A signature that does not verify with the published key is worse than none.
  if ! minisign -V -q -p "$public" -m "$file"; then
    echo "$0: the signature of $file does not verify with $public" >&2
    rm -f "$file.minisig"
    exit 1
  fi
done

echo "Upload these four files side by side:"
for file in "$description" "$installer"; do
  echo "  $file"
  echo "  $file.minisig"
done
