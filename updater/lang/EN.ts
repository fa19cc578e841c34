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
</TS>
