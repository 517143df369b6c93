<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Varnok::MenuManager</name>
    <message>
        <source>Exit</source>
        <translation>Sortie</translation>
    </message>
</context>
</TS>
