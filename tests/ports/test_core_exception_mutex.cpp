#include <gtest/gtest.h>

#include <sstream>

#include "BVComm/Exception.h"
#include "BVComm/Mutex.h"

using Brevan2011::BVCore::Exception;
using Brevan2011::BVCore::MutexHolder;
using Brevan2011::BVCore::MutexLock;
using Brevan2011::BVCore::SystemMutex;

TEST(CoreException, DumpsTextsThenLocations) {
    const int code = 7;
    Exception e("A", &code, nullptr);
    e.addText("B");
    e.addLocation("x", "y", 12);
    EXPECT_EQ(e.code(), 7);
    EXPECT_EQ(e.secondCode(), 0);
    EXPECT_EQ(e.toString(), "text 0:A\ntext 1:B\nlocation 0:x:y:12\n");
    std::ostringstream out;
    out << e;
    EXPECT_EQ(out.str(), e.toString());

    Exception copy = e;
    EXPECT_EQ(copy.toString(), e.toString());
    EXPECT_EQ(e.text(2), "");
    EXPECT_EQ(e.location(1).line, 0);
    EXPECT_EQ(e.location(1).first, "");
}

TEST(CoreException, PutCharBuildsLines) {
    Exception e;
    for (char c : std::string("ab\n\n")) {
        EXPECT_EQ(e.putChar(c), c);
    }
    e.putChar('c');
    e.putChar(0);
    ASSERT_EQ(e.textCount(), 2u);
    EXPECT_EQ(e.text(0), "ab");
    EXPECT_EQ(e.text(1), "c");
}

TEST(CoreMutex, ErrorNumbersOfAMutexNeverCreated) {
    SystemMutex m;
    EXPECT_EQ(m.Lock(), 5002);
    EXPECT_EQ(m.Unlock(), 5003);
    EXPECT_EQ(m.Close(), 5004);
    ASSERT_EQ(m.Create(), 0);
    EXPECT_EQ(m.Lock(), 0);
    EXPECT_EQ(m.Unlock(), 0);
    EXPECT_EQ(m.Close(), 0);
    EXPECT_EQ(m.Close(), 5004);
}

TEST(CoreMutex, LockHoldsTheHoldersMutex) {
    MutexHolder holder;
    ASSERT_TRUE(holder.isValid());
    {
        MutexLock lock(holder);
        EXPECT_TRUE(lock.holds());
        EXPECT_FALSE(holder.mutex()->handle()->try_lock());
    }
    ASSERT_TRUE(holder.mutex()->handle()->try_lock());
    holder.mutex()->handle()->unlock();
}
