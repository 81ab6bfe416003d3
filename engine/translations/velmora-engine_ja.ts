<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>codecs</name>
    <message>
        <source>%1 %2 is not within %3 to %4</source>
        <translation>%1 %2 は %3 から %4 の範囲にありません。</translation>
    </message>
    <message>
        <source>the JPEG rate</source>
        <translation>JPEG の圧縮率</translation>
    </message>
    <message>
        <source>the PNG level</source>
        <translation>PNG の圧縮率</translation>
    </message>
    <message>
        <source>there is no image to write</source>
        <translation>保存する画像がありません。</translation>
    </message>
    <message>
        <source>the image could not be encoded as JPEG</source>
        <translation>JPEG に変換できませんでした。</translation>
    </message>
    <message>
        <source>the image could not be encoded as PNG</source>
        <translation>PNG に変換できませんでした。</translation>
    </message>
    <message>
        <source>the image could not be encoded as PDF</source>
        <translation>PDF に変換できませんでした。</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message>
        <source>the file could not be written</source>
        <translation>ファイルを書き込めませんでした。</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>ディスクの空き容量が足りません。</translation>
    </message>
    <message>
        <source>the file is too large for the file system</source>
        <translation>ファイルがこのファイル システムには大きすぎます。</translation>
    </message>
    <message>
        <source>it is no ordinary file</source>
        <translation>通常のファイルではありません。</translation>
    </message>
    <message>
        <source>the file system is read-only</source>
        <translation>読み取り専用のファイル システムです。</translation>
    </message>
    <message>
        <source>the folder takes no new files</source>
        <translation>このフォルダーにはファイルを作成できません。</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>ファイル名が長すぎます。</translation>
    </message>
    <message>
        <source>the disk reported an error</source>
        <translation>ディスクの読み書きでエラーが発生しました。</translation>
    </message>
    <message>
        <source>the file could not be written (%1)</source>
        <translation>ファイルを書き込めませんでした（%1）。</translation>
    </message>
    <message>
        <source>a folder has that name</source>
        <translation>同じ名前のフォルダーがあります。</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>ファイルが読み取り専用です。</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>フォルダーが見つかりません。</translation>
    </message>
    <message>
        <source>the folder may not be written to</source>
        <translation>フォルダーに書き込む権限がありません。</translation>
    </message>
    <message>
        <source>the file is too large</source>
        <translation>ファイルが大きすぎます。</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>フォルダーです。</translation>
    </message>
</context>
<context>
    <name>pictures</name>
    <message>
        <source>the file is no BMP, ICO, JPEG, GIF or PNG picture</source>
        <translation>BMP、ICO、JPEG、GIF、PNG のどの画像でもありません。</translation>
    </message>
    <message>
        <source>the name ends in .png, but the file is no PNG</source>
        <translation>名前は .png で終わりますが、PNG ファイルではありません。</translation>
    </message>
    <message>
        <source>the file ends early: it has been cut off</source>
        <translation>ファイルが途中で切れています。</translation>
    </message>
    <message>
        <source>the picture&apos;s data is damaged</source>
        <translation>画像のデータが壊れています。</translation>
    </message>
    <message>
        <source>the picture has no pixels</source>
        <translation>画像にピクセルがありません。</translation>
    </message>
    <message>
        <source>the picture is %1 pixels, over 32,767 a side</source>
        <translation>画像が %1 ピクセルで、一辺 32,767 ピクセルを超えています。</translation>
    </message>
    <message>
        <source>the picture is %1 pixels, over 256 MiB</source>
        <translation>画像が %1 ピクセルで、256 MiB を超えています。</translation>
    </message>
    <message>
        <source>%1 is not supported</source>
        <translation>%1 には対応していません。</translation>
    </message>
    <message>
        <source>the icon holds %1 pictures, more than 256</source>
        <translation>アイコンに画像が %1 個あり、256 個を超えています。</translation>
    </message>
    <message>
        <source>the JPEG has more than %1 scans</source>
        <translation>JPEG のスキャンが %1 を超えています。</translation>
    </message>
    <message>
        <source>the JPEG needs more than %1 MiB to decode</source>
        <translation>JPEG の読み込みに %1 MiB を超えるメモリーが要ります。</translation>
    </message>
    <message>
        <source>a JPEG of %1 bits a sample</source>
        <translation>1 サンプル %1 ビットの JPEG</translation>
    </message>
    <message>
        <source>a JPEG of the lossless or hierarchical kind (SOF%1)</source>
        <translation>可逆または階層型の JPEG（SOF%1）</translation>
    </message>
    <message>
        <source>a JPEG whose height follows its data (DNL)</source>
        <translation>高さが画像データの後にある JPEG（DNL）</translation>
    </message>
    <message>
        <source>the GIF&apos;s data is over %1 bytes, far more than its pixels need</source>
        <translation>GIF のデータが %1 バイトを超え、画素の数に比べて大きすぎます。</translation>
    </message>
    <message>
        <source>a bitmap holding a JPEG or PNG</source>
        <translation>JPEG や PNG を収めたビットマップ</translation>
    </message>
    <message>
        <source>a bitmap of %1 bits a pixel in compression %2</source>
        <translation>1 ピクセル %1 ビット、圧縮方式 %2 のビットマップ</translation>
    </message>
    <message>
        <source>an OS/2 bitmap compressed with Huffman or RLE24</source>
        <translation>ハフマンまたは RLE24 で圧縮した OS/2 ビットマップ</translation>
    </message>
</context>
</TS>
