<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>codecs</name>
    <message>
        <source>JPEG rate %1 is not within %2 to %3</source>
        <translation>JPEG の圧縮率 %1 は %2 から %3 の範囲にありません。</translation>
    </message>
    <message>
        <source>PNG level %1 is not within %2 to %3</source>
        <translation>PNG の圧縮率 %1 は %2 から %3 の範囲にありません。</translation>
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
</TS>
