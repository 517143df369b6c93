#pragma once

// libBVComm hides every symbol that is not marked with this macro.
#define BVCOMM_EXPORT __attribute__((visibility("default")))
