#!/usr/bin/env bash
# Builds the sample catalog data/sample/Sample3 from files made here: images in several formats (ImageMagick),
# text files in Shift-JIS, EUC-JP, JIS and UTF-8 (iconv), a rich-text file, a folder, and web addresses; then
# writes Sample3.qlry with its categories and values through the core's catalog writer
# (build/tools/quillory_make_sample). Usage: tools/make-sample.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh build sample
build=${1:-build}
out=data/sample/Sample3
font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
convert=/usr/bin/convert   # the real ImageMagick, not a wrapper earlier in the PATH

rm -rf "$out"
mkdir -p "$out/画像" "$out/文書" "$out/資料/2024年"

# Images: one per format, each with its name written on it.
image() {  # image FILE BACKGROUND CAPTION
    "$convert" -size 240x150 "$2" -gravity center -font "$font" -pointsize 28 -fill white \
        -stroke '#00000080' -strokewidth 1 -annotate +0+0 "$3" -depth 8 "$1"
}
image "$out/画像/富士山.png" gradient:'#87ceeb-#ffffff' '富士山'
image "$out/画像/桜.jpg" gradient:'#ffb7c5-#ff69b4' '桜'
image "$out/画像/海.gif" gradient:'#1e90ff-#000080' '海'
image "$out/画像/紅葉.bmp" gradient:'#ff8c00-#8b0000' '紅葉'
image "$out/画像/雪景色.tif" gradient:'#ffffff-#a0a0c0' '雪景色'
# Strip the metadata that would make the files differ between runs.
"$convert" "$out/画像/桜.jpg" -strip "$out/画像/桜.jpg"

# Text files: the same kind of text in each Japanese code.
text_utf8() {
    cat <<'TEXT'
Quillory サンプル：テキストファイル
======================================
このファイルは、プレビュー画面でのテキスト表示を試すためのものです。
文字コードは自動的に判定されます（シフトJIS・EUC-JP・JIS・UTF-8）。

・カテゴリ画面で属性を選ぶと、アイテムが絞り込まれます。
・アイテムリストのセルで、属性を直接編集できます。
・半角ｶﾀｶﾅ、全角ＡＢＣ、記号「※〒♪」も表示できます。
TEXT
}
text_utf8 | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > "$out/文書/説明_シフトJIS.txt"
text_utf8 | iconv -f UTF-8 -t EUC-JP > "$out/文書/説明_EUC.txt"
text_utf8 | sed 's/ｶﾀｶﾅ/カタカナ/' | iconv -f UTF-8 -t ISO-2022-JP > "$out/文書/説明_JIS.txt"
text_utf8 > "$out/文書/説明_UTF8.txt"

# A rich-text file in the subset the memo editor writes: code page 932 text as \'xx escapes.
rtf_escape() {  # UTF-8 text on stdin -> RTF body text with code page 932 bytes escaped
    iconv -f UTF-8 -t CP932 | python3 -c '
import sys
out = []
data = sys.stdin.buffer.read()
trail = False
for byte in data:
    lead = not trail and (0x81 <= byte <= 0x9F or 0xE0 <= byte <= 0xFC)
    if byte >= 0x80 or trail:
        out.append("\\\x27%02x" % byte)
    elif byte in (0x5C, 0x7B, 0x7D):
        out.append("\\" + chr(byte))
    elif byte == 0x0A:
        out.append("\\par\n")
    else:
        out.append(chr(byte))
    trail = lead
sys.stdout.write("".join(out))'
}
{
    printf '{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS PGothic;}}\n'
    printf '{\\colortbl ;\\red192\\green0\\blue0;\\red0\\green0\\blue160;}\n'
    printf '\\pard\\plain\\f0\\fs32\\b '
    printf '会議メモ\n' | rtf_escape
    printf '\\b0\\fs22 '
    printf '日時：4月10日 14:00\n' | rtf_escape
    printf '\\cf1 '
    printf '重要：サンプルカタログの確認\n' | rtf_escape
    printf '\\cf2\\i '
    printf '次回までに分類を見直すこと。\n' | rtf_escape
    printf '\\i0\\cf0\\ul '
    printf '以上\n' | rtf_escape
    printf '\\ulnone }\n'
} > "$out/文書/会議メモ.rtf"

# A folder with a few files of its own.
printf '2024年の資料フォルダです。\n' > "$out/資料/2024年/はじめに.txt"
"$convert" -size 64x64 xc:'#4e9a06' "$out/資料/2024年/緑.png"
printf 'name,count\nりんご,3\nみかん,5\n' > "$out/資料/集計.csv"

# The catalog: categories, values and the web addresses are in the generator.
if [[ ! -x "$build/tools/quillory_make_sample" ]]; then
    cmake --build "$build" --target quillory_make_sample
fi
"$build/tools/quillory_make_sample" "$out"
echo "Sample catalog written: $out/Sample3.qlry"
