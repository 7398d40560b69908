#!/usr/bin/env bash
# The pictures of docs/wine.md: the scenarios that take the documentation's screenshots, played on the
# simulator from docs/ (which makes docs/NAME.png again) and under Wine (scripts/wine-scenarios.sh), each
# Wine picture saved beside the simulator's as docs/wine-NAME.png. Needs the linux and win64 builds.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
scenarios=()
for s in loader/help tnsetup/welcome_exit tnsetup/inf_found_by_open_dialog tnsetup/country_and_destination \
         tnsetup/options_components tnsetup/keyboard_layouts tnsetup/fonts_printer_question copy/disk_prompts \
         config/road; do
    scenarios+=("$here/tests/scenarios/$s.scn")
done

(cd "$here/docs" && "$here/build/linux/bin/win95sim" scenario "${scenarios[@]}")
bash "$here/scripts/wine-scenarios.sh" "${scenarios[@]}"

# windriver writes its pictures uncompressed; they are compressed on the way into docs/.
for png in "$here"/build/wine-scenarios/*.png; do
    python3 - "$png" "$here/docs/wine-$(basename "$png")" <<'END'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
chunks, pos, idat = [], 8, b""
while pos < len(data):
    size, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + size]
    pos += 12 + size
    if kind == b"IDAT":
        idat += body
    elif kind != b"IEND":
        chunks.append((kind, body))
chunks.append((b"IDAT", zlib.compress(zlib.decompress(idat), 9)))
chunks.append((b"IEND", b""))
with open(sys.argv[2], "wb") as out:
    out.write(data[:8])
    for kind, body in chunks:
        out.write(struct.pack(">I", len(body)) + kind + body)
        out.write(struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
END
done
