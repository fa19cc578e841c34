<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>UpdateSonaricPro</name>
    <message>
        <source>Update successful!</source>
        <translation>Update successful!</translation>
    </message>
</context>
<context>
    <name>StartWindowUi</name>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>An Tovra Sonaric update is available.</source>
        <translation>An Tovra Sonaric update is available.</translation>
    </message>
    <message>
        <source>Click on &quot;Next&quot; to download and install...</source>
        <translation>Click on &quot;Next&quot; to download and install...</translation>
    </message>
</context>
</TS>
