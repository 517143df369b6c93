#pragma once

// libBVDevice hides every symbol that is not marked with this macro.
#define BVDEVICE_API __attribute__((visibility("default")))
