#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "BVComm/DescriptorGate.h"

using Brevan2011::BVComm::DescriptorGate;

namespace {

bool isOpenFd(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

}  // namespace

// A port opened again while a read of its earlier open is still in flight: the in-flight count
// must survive, or a later close would close a descriptor that a call is still using.
TEST(DescriptorGate, AttachWhileACallIsInFlightKeepsTheCount) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    DescriptorGate gate;
    ASSERT_TRUE(gate.attach(fds[0]));
    {
        DescriptorGate::Use first(gate);
        ASSERT_EQ(first.fd(), fds[0]);
        gate.attach(fds[1]);
        // Refused: the new descriptor stays with the caller.
        EXPECT_TRUE(isOpenFd(fds[1]));
    }
    int used = -1;
    {
        DescriptorGate::Use second(gate);
        used = second.fd();
        ASSERT_GE(used, 0);
        EXPECT_TRUE(gate.close());
        EXPECT_TRUE(isOpenFd(used)) << "closed under a call in flight";
    }
    EXPECT_FALSE(isOpenFd(used)) << "closed once the last call ended";
    EXPECT_FALSE(gate.isOpen());
    ::close(fds[1]);
}

TEST(DescriptorGate, AttachWithNothingInFlightReplacesTheDescriptor) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    DescriptorGate gate;
    ASSERT_TRUE(gate.attach(fds[0]));
    ASSERT_TRUE(gate.attach(fds[1]));
    EXPECT_FALSE(isOpenFd(fds[0]));
    DescriptorGate::Use use(gate);
    EXPECT_EQ(use.fd(), fds[1]);
}
