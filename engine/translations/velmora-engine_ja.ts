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
        <source>the picture is over 32,767 pixels a side or 256 MiB</source>
        <translation>画像が大きすぎます（一辺 32,767 ピクセル、256 MiB まで）。</translation>
    </message>
    <message>
        <source>the file is no BMP, ICO, JPEG, GIF or PNG picture</source>
        <translation>BMP、ICO、JPEG、GIF、PNG のどの画像でもありません。</translation>
    </message>
    <message>
        <source>the picture is damaged, or too large to read</source>
        <translation>画像が壊れているか、大きすぎて読み込めません。</translation>
    </message>
    <message>
        <source>the name ends in .png, but the file is no PNG</source>
        <translation>名前は .png で終わりますが、PNG ファイルではありません。</translation>
    </message>
</context>
</TS>
