#pragma once

#include "BVComm/BVCommExport.h"

namespace Brevan2011 {
namespace BVComm {

// Work that a worker thread runs: Start prepares it (false: nothing to run), Run does
// it on the worker thread, Stop asks a running Run to end early and may come from any thread.
class BVCOMM_EXPORT IThreadTask {
public:
    virtual ~IThreadTask();
    virtual bool Start() = 0;
    virtual void Run() = 0;
    virtual void Stop() = 0;
};

}  // namespace BVComm
}  // namespace Brevan2011
