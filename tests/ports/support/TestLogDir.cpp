// Linked into each test program: logs and traces go to a temporary folder, not beside the
// test executable.
#include <gtest/gtest.h>

#include <memory>

#include "BVComm/PortPaths.h"
#include "TempDir.h"

namespace {

class LogDirEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<varnok_test::TempDir>();
        Brevan2011::BVComm::SetLogDirectory(dir_->path());
    }
    void TearDown() override {}

private:
    std::unique_ptr<varnok_test::TempDir> dir_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new LogDirEnvironment);

}  // namespace
