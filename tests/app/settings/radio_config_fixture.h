#pragma once

#include <string>

// A capability file with three radio types:
//  5: no lists at all, "baudrate" without "applyall";
//  3: one entry per list, "applyall" 0 with one particular set, FEC supported;
//  7: two entries per list, "applyall" 1, nothing optional supported.
inline std::string radioConfigFixture() {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<radioconfig>
    <radios type="array">
        <size>3</size>
        <a1>
            <ID>5</ID>
            <name>Bare</name>
            <baudrate type="group">
                <universal type="array">
                    <size>2</size>
                    <a1><value>9600</value></a1>
                    <a2><value>19200</value></a2>
                </universal>
                <particular type="array">
                    <size>1</size>
                    <a1><protocol>1</protocol><stepper>125</stepper>
                        <bauds type="array"><size>1</size><a1><value>1200</value></a1></bauds>
                    </a1>
                </particular>
            </baudrate>
        </a1>
        <a2>
            <ID>3</ID>
            <name>Single</name>
            <minfreq>450.5</minfreq>
            <maxfreq>470</maxfreq>
            <power type="array"><size>1</size><a1><value>20</value></a1></power>
            <protocol type="array"><size>1</size><a1><ID>1</ID><name>TT450</name></a1></protocol>
            <stepper type="array"><size>1</size><a1><value>250</value></a1></stepper>
            <baudrate type="group">
                <applyall>0</applyall>
                <universal type="array"><size>1</size><a1><value>9600</value></a1></universal>
                <particular type="array">
                    <size>2</size>
                    <a1><protocol>1</protocol><stepper>125</stepper>
                        <bauds type="array"><size>2</size>
                            <a1><value>4800</value></a1><a2><value>19200</value></a2>
                        </bauds>
                    </a1>
                    <a2><protocol>1</protocol><stepper>125</stepper>
                        <bauds type="array"><size>1</size><a1><value>1</value></a1></bauds>
                    </a2>
                </particular>
            </baudrate>
            <sensitivity type="group"><supported>0</supported><value>1</value></sensitivity>
            <FEC type="group"><supported>1</supported><on>1</on></FEC>
            <COS type="group"><supported>0</supported><on>1</on><timeinterval>15</timeinterval><stringID>VK2XYZ</stringID></COS>
        </a2>
        <a3>
            <ID>7</ID>
            <name>Double</name>
            <minfreq>410</minfreq>
            <maxfreq>430</maxfreq>
            <power type="array"><size>2</size><a1><value>10</value></a1><a2><value>35</value></a2></power>
            <protocol type="array"><size>2</size>
                <a1><ID>0</ID><name>Transparent</name></a1>
                <a2><ID>2</ID><name>Satel</name></a2>
            </protocol>
            <stepper type="array"><size>2</size><a1><value>250</value></a1><a2><value>125</value></a2></stepper>
            <baudrate type="group">
                <applyall>1</applyall>
                <universal type="array"><size>2</size><a1><value>4800</value></a1><a2><value>9600</value></a2></universal>
            </baudrate>
        </a3>
    </radios>
</radioconfig>
)";
}
