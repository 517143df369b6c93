#pragma once

#include <string>

namespace Brevan2011 {
namespace BVDevice {

// The session's thread traces: one file per channel in the log directory, each record the
// monotonic tick count in milliseconds, a comma and the text (which carries its own line end).
// Every record is opened, appended and closed under the channel's lock, so records of
// different threads never interleave and no file stays open between records.
class ThreadTrace {
public:
    enum Channel { kRead = 0, kParse = 1, kWrite = 2, kMain = 3 };

    // "Read_Thread_Record.txt", "Parse_Thread_Record.txt", "Write_Thread_Record.txt", and
    // "Main_Thread_Record.txt" for any other channel number.
    static const char* fileName(int channel);
    static std::string path(int channel);
    static void record(const char* text, int channel);
};

}  // namespace BVDevice
}  // namespace Brevan2011
