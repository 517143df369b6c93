#include "BVComm/IThreadTask.h"

namespace Brevan2011 {
namespace BVComm {

IThreadTask::~IThreadTask() = default;

}  // namespace BVComm
}  // namespace Brevan2011
