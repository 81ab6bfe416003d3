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
        <source>--batch writes files: -o - takes one text</source>
        <translation>--batch はファイルに書き出します。-o - は文字一つのときだけ使えます</translation>
    </message>
    <message>
        <source>%1: the output name must end in .bmp, .jpg, .jpeg, .png, .svg or .pdf</source>
        <translation>%1: 出力ファイル名は .bmp、.jpg、.jpeg、.png、.svg、.pdf のどれかで終わる必要があります</translation>
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
        <source>--transparent needs PNG, SVG or PDF output</source>
        <translation>--transparent は PNG、SVG、PDF 出力のときだけ使えます</translation>
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
    <message>
        <source>the image&apos;s file, or TEMPLATE with --batch</source>
        <translation>画像のファイル。--batch のときは TEMPLATE</translation>
    </message>
    <message>
        <source>one text per line (UTF-8; &quot;-&quot; reads standard input);
%d or %0Nd in TEMPLATE becomes the line number</source>
        <translation>一行に一つの文字 (UTF-8。&quot;-&quot; は標準入力から読みます)。
TEMPLATE の %d か %0Nd が行番号になります</translation>
    </message>
    <message>
        <source>font family, or a font file</source>
        <translation>フォント名、またはフォントファイル</translation>
    </message>
    <message>
        <source>size in points (96 dots per inch)</source>
        <translation>ポイント数 (96 dpi)</translation>
    </message>
    <message>
        <source>bold letters</source>
        <translation>太字</translation>
    </message>
    <message>
        <source>italic letters</source>
        <translation>斜体</translation>
    </message>
    <message>
        <source>pattern picture: BMP, ICO, JPEG, GIF or PNG
(default: the built-in tartan)</source>
        <translation>背景の絵: BMP、ICO、JPEG、GIF、PNG
(指定しないときは組み込みのタータン)</translation>
    </message>
    <message>
        <source>background colour, #RRGGBB or decimal 0x00BBGGRR</source>
        <translation>背景の色。#RRGGBB か十進の 0x00BBGGRR</translation>
    </message>
    <message>
        <source>JPEG compression rate %1 to %2 (higher is smaller)</source>
        <translation>JPEG の圧縮率 %1 から %2 (大きいほど小さなファイル)</translation>
    </message>
    <message>
        <source>progressive JPEG</source>
        <translation>プログレッシブ JPEG</translation>
    </message>
    <message>
        <source>PNG level: %1</source>
        <translation>PNG の圧縮: %1
(順に速さ優先、標準、サイズ優先)</translation>
    </message>
    <message>
        <source>transparent background (PNG, SVG, PDF)</source>
        <translation>背景を透明にする (PNG・SVG・PDF)</translation>
    </message>
    <message>
        <source>antialiased letter edges</source>
        <translation>文字の縁をなめらかにする</translation>
    </message>
    <message>
        <source>defaults from a Velmora.Ini settings file (never written)</source>
        <translation>Velmora.Ini から既定値を読む (書き込みはしません)</translation>
    </message>
    <message>
        <source>lines of a batch rendered at once, %1 to %2
(default: the cores)</source>
        <translation>一括処理で同時に描く行の数。%1 から %2
(既定: コアの数)</translation>
    </message>
    <message>
        <source>this help</source>
        <translation>この説明</translation>
    </message>
    <message>
        <source>the version</source>
        <translation>版</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the words an option takes</comment>
        <translation>、</translation>
    </message>
    <message>
        <source>%1 needs #RRGGBB or a decimal colour value %2 to %3</source>
        <translation>%1 には #RRGGBB か %2 から %3 の十進の色の値を指定してください</translation>
    </message>
    <message>
        <source>%1 %2 could be hex or decimal: write &quot;#%2&quot; for the colour RRGGBB, or 0%2 for the decimal 0x00BBGGRR</source>
        <translation>%1 %2 は十六進とも十進とも読めます。色 RRGGBB なら &quot;#%2&quot;、十進の 0x00BBGGRR なら 0%2 と書いてください</translation>
    </message>
    <message>
        <source>%1 needs #RRGGBB: write &quot;#%2&quot;</source>
        <translation>%1 には #RRGGBB を指定してください。&quot;#%2&quot; と書きます</translation>
    </message>
    <message>
        <source>%1 needs a positive number of points</source>
        <translation>%1 には正のポイント数を指定してください</translation>
    </message>
    <message>
        <source>%1 needs a whole number from %2 to %3</source>
        <translation>%1 には %2 から %3 の整数を指定してください</translation>
    </message>
    <message>
        <source>%1 needs one of %2</source>
        <translation>%1 には次のどれかを指定してください: %2</translation>
    </message>
    <message>
        <source>give exactly one text, or --batch FILE: quote words that make one text, as in &quot;%1&quot;</source>
        <translation>文字を一つだけ指定するか、--batch FILE を指定してください。いくつかの語で一つの文字にするときは &quot;%1&quot; のように引用符で囲みます</translation>
    </message>
    <message>
        <source>Usage: velmora-cut [options] -o OUT [TEXT]
  or:  velmora-cut [options] -o TEMPLATE --batch FILE

Makes cut letters: TEXT drawn in the font, its letters filled with the
tiled pattern, every other pixel the background colour. The image is
exactly as large as the text. OUT ends in .bmp, .jpg, .jpeg or .png;
in .svg or .pdf, the letters are shapes that print sharp at any size.
-o - writes PNG to standard output. Without TEXT, --settings gives
the text the window last drew.
</source>
        <translation>使い方: velmora-cut [オプション] -o OUT [文字]
  または velmora-cut [オプション] -o TEMPLATE --batch FILE

切り文字を作ります。フォントで描いた文字の形に背景の絵を敷き詰め、
それ以外のピクセルを背景の色にします。画像は文字とちょうど同じ大きさです。
OUT は .bmp、.jpg、.jpeg、.png のどれかで終わります。
.svg か .pdf なら、どの大きさでもくっきり印刷できる図形の文字になります。
-o - は PNG を標準出力に書き出します。文字を指定しないときは、
--settings のファイルからウィンドウが最後に描いた文字を使います。
</translation>
    </message>
    <message>
        <source>Exit status: 0 all written, 1 usage error, 2 an input could not be read,
3 an output could not be written or was refused.
</source>
        <translation>終了コード: 0 すべて書き出した、1 使い方の誤り、2 入力を読めなかった、
3 書き出せなかったか断られた出力がある。
</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <source>line %1 is empty: no image</source>
        <translation>%1 行目は空です。画像は作りません</translation>
    </message>
</context>
</TS>
