<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Cut</name>
    <message>
        <source>no output given (-o OUT)</source>
        <translation>出力先がありません (-o OUT)</translation>
    </message>
    <message>
        <source>a text and --batch cannot be given together</source>
        <translation>文字と --batch は一緒に指定できません</translation>
    </message>
    <message>
        <source>give exactly one text, or --batch FILE</source>
        <translation>文字を一つだけ指定するか、--batch FILE を指定してください</translation>
    </message>
    <message>
        <source>--size needs a positive number of points</source>
        <translation>--size には正のポイント数を指定してください</translation>
    </message>
    <message>
        <source>--color needs #RRGGBB or a decimal colour value 0 to 16777215</source>
        <translation>--color には #RRGGBB か 0 から 16777215 の十進の色の値を指定してください</translation>
    </message>
    <message>
        <source>--jpeg-rate needs a whole number from 1 to 100</source>
        <translation>--jpeg-rate には 1 から 100 の整数を指定してください</translation>
    </message>
    <message>
        <source>--png-level needs 0, 1 or 2</source>
        <translation>--png-level には 0、1、2 のどれかを指定してください</translation>
    </message>
    <message>
        <source>--batch writes files: -o - takes one text</source>
        <translation>--batch はファイルに書き出します。-o - は文字一つのときだけ使えます</translation>
    </message>
    <message>
        <source>%1: the output name must end in .bmp, .jpg, .jpeg or .png</source>
        <translation>%1: 出力ファイル名は .bmp、.jpg、.jpeg、.png のどれかで終わる必要があります</translation>
    </message>
    <message>
        <source>a batch output name needs %d or %0Nd for the line number</source>
        <translation>一括処理の出力ファイル名には行番号の %d か %0Nd が必要です</translation>
    </message>
    <message>
        <source>a line number may be at most %1 digits wide</source>
        <translation>行番号の桁数は %1 桁までです</translation>
    </message>
    <message>
        <source>--transparent needs PNG output</source>
        <translation>--transparent は PNG 出力のときだけ使えます</translation>
    </message>
    <message>
        <source>Usage: velmora-cut [options] -o OUT [TEXT]
  or:  velmora-cut [options] -o TEMPLATE --batch FILE

Makes cut letters: TEXT drawn in the font, its letters filled with the
tiled pattern, every other pixel the background colour. The image is
exactly as large as the text. OUT ends in .bmp, .jpg, .jpeg or .png;
-o - writes PNG to standard output. Without TEXT, --settings gives
the text the window last drew.

Options:
  --batch FILE       one text per line (UTF-8; &quot;-&quot; reads standard input);
                     %d or %0Nd in TEMPLATE becomes the line number
  --font NAME        font family, or a font file
  --size PT          size in points (96 dots per inch)
  --bold, --italic   bold and italic
  --pattern FILE     pattern picture: BMP, ICO, JPEG, GIF or PNG
                     (default: the built-in tartan)
  --color COLOR      background colour, #RRGGBB or decimal 0x00BBGGRR
  --jpeg-rate N      JPEG compression rate 1 to 100 (higher is smaller)
  --progressive      progressive JPEG
  --png-level N      PNG level: 1 fastest, 0 balanced, 2 smallest
  --transparent      transparent background (PNG only)
  --smooth           antialiased letter edges
  --settings INI     defaults from a Velmora.Ini settings file (never written)
  --jobs N           lines of a batch rendered at once (default: the cores)
  -h, --help         this help
  --version          the version

Exit status:
  0 all written, 1 usage error, 2 an input could not be read,
  3 an output could not be written or was refused.
</source>
        <translation>使い方: velmora-cut [オプション] -o OUT [文字]
  または velmora-cut [オプション] -o TEMPLATE --batch FILE

切り文字を作ります。フォントで描いた文字の形に背景の絵を敷き詰め、
それ以外のピクセルを背景の色にします。画像は文字とちょうど同じ大きさです。
OUT は .bmp、.jpg、.jpeg、.png のどれかで終わります。
-o - は PNG を標準出力に書き出します。文字を指定しないときは、
--settings のファイルからウィンドウが最後に描いた文字を使います。

オプション:
  --batch FILE       一行に一つの文字 (UTF-8。&quot;-&quot; は標準入力から読みます)。
                     TEMPLATE の %d か %0Nd が行番号になります
  --font NAME        フォント名、またはフォントファイル
  --size PT          ポイント数 (96 dpi)
  --bold, --italic   太字と斜体
  --pattern FILE     背景の絵: BMP、ICO、JPEG、GIF、PNG
                     (指定しないときは組み込みのタータン)
  --color COLOR      背景の色。#RRGGBB か十進の 0x00BBGGRR
  --jpeg-rate N      JPEG の圧縮率 1 から 100 (大きいほど小さなファイル)
  --progressive      プログレッシブ JPEG
  --png-level N      PNG の圧縮: 1 速さ優先、0 標準、2 サイズ優先
  --transparent      背景を透明にする (PNG のみ)
  --smooth           文字の縁をなめらかにする
  --settings INI     Velmora.Ini から既定値を読む (書き込みはしません)
  --jobs N           一括処理で同時に描く行の数 (既定: コアの数)
  -h, --help         この説明
  --version          版

終了コード:
  0 すべて書き出した、1 使い方の誤り、2 入力を読めなかった、
  3 書き出せなかったか断られた出力がある。
</translation>
    </message>
    <message>
        <source>the image could not be encoded</source>
        <translation>画像を変換できませんでした</translation>
    </message>
    <message>
        <source>the text gives an empty image</source>
        <translation>文字が空の画像になります</translation>
    </message>
    <message>
        <source>standard output could not be written</source>
        <translation>標準出力に書き込めませんでした</translation>
    </message>
    <message>
        <source>see velmora-cut --help</source>
        <translation>使い方は velmora-cut --help を見てください</translation>
    </message>
    <message>
        <source>%1: the settings file cannot be read: %2</source>
        <translation>%1: 設定ファイルを読み込めません: %2</translation>
    </message>
    <message>
        <source>%1: the font file cannot be read: %2</source>
        <translation>%1: フォントファイルを読み込めません: %2</translation>
    </message>
    <message>
        <source>%1: the pattern picture cannot be read: %2</source>
        <translation>%1: 背景の絵を読み込めません: %2</translation>
    </message>
    <message>
        <source>%1: the batch file cannot be read: %2</source>
        <translation>%1: 一括処理のファイルを読み込めません: %2</translation>
    </message>
    <message>
        <source>--jobs needs a whole number from 1 to 256</source>
        <translation>--jobs には 1 から 256 の整数を指定してください</translation>
    </message>
    <message>
        <source>line %1: not UTF-8 text, left out</source>
        <translation>%1 行目: UTF-8 の文字列ではないため、飛ばしました</translation>
    </message>
    <message>
        <source>-o - writes a PNG picture, not for a terminal: redirect it (&gt; picture.png) or give -o FILE</source>
        <translation>-o - は PNG の画像を書き出すため、端末には出力しません。リダイレクトする (&gt; picture.png) か -o FILE を指定してください</translation>
    </message>
    <message>
        <source>no font family &quot;%1&quot; is installed; drawing with &quot;%2&quot;</source>
        <translation>フォント「%1」はインストールされていません。「%2」で描きます</translation>
    </message>
    <message>
        <source>letters of that size would be over 32,767 pixels tall</source>
        <translation>その大きさの文字は高さが 32,767 ピクセルを超えます</translation>
    </message>
    <message>
        <source>line %1: %2: %3</source>
        <translation>%1 行目: %2: %3</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 of %2 images were not written</source>
        <translation>%2 枚のうち %1 枚を書き出せませんでした</translation>
    </message>
    <message>
        <source>the image would be %1 x %2 pixels, over 32,767 a side or 256 MiB</source>
        <translation>画像が %1 × %2 ピクセルになり、一辺 32,767 ピクセルか 256 MiB の上限を超えます</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>%1 というオプションはありません</translation>
    </message>
    <message>
        <source>unknown option %1: did you mean --%2?</source>
        <translation>%1 というオプションはありません。--%2 のことですか？</translation>
    </message>
    <message>
        <source>%1 needs a value, as in %1 %2</source>
        <translation>%1 には値を指定してください（例: %1 %2）</translation>
    </message>
    <message>
        <source>the text is empty: give the letters to cut, as in velmora-cut -o letters.png Sample</source>
        <translation>文字が空です。切り抜く文字を指定してください（例: velmora-cut -o letters.png Sample）</translation>
    </message>
    <message>
        <source>%1 is a folder: give a file name in it, as in %1/letters.png</source>
        <translation>%1 はフォルダーです。その中のファイル名を指定してください（例: %1/letters.png）</translation>
    </message>
    <message>
        <source>it is no font file FreeType reads</source>
        <translation>フォントファイルではありません</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>フォルダーです</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>そのファイルはありません</translation>
    </message>
    <message>
        <source>%1 holds no text: give the letters to cut after the options</source>
        <translation>%1 には文字がありません。オプションの後に切り抜く文字を指定してください</translation>
    </message>
    <message>
        <source>--%1 takes no value</source>
        <translation>--%1 には値を指定できません</translation>
    </message>
    <message>
        <source>it may not be read</source>
        <translation>読み込む権限がありません</translation>
    </message>
</context>
</TS>
