// The engine reports solutions from a thread of its own while the parse thread decodes logs:
// each solution reaches the receiver state through the next parse step, with its bits.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Em_OemComEngine.h"
#include "Em_OemComEngineData.h"
#include "Fake_Engine_Handle.h"
#include "Novatel_Test_Log.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace novatel_test;

TEST(EngineSolutionConcurrency, SolutionsFromAnotherThreadAppearAtTheNextStep) {
    engine_test::Fake_Engine_Handle fake;
    ASSERT_TRUE(fake.Ok());
    Em_OemComEngine board;
    Em_OemComEngineData& data = *board.Engine_Data();
    Cmd_List cmds;
    board.Get_Gnss_StartRover(cmds);
    ASSERT_NE(data.Engine(), nullptr);

    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread engine([&] {
        Engine_Solution s{};
        s.Type = 4;
        s.Latitude = 0.5;
        s.Longitude = 1.0;
        s.Height = 50.0;
        while (!stop.load()) {
            s.Seconds = sent.load();
            if (fake.Notify(s)) {
                sent.fetch_add(1);
            }
            std::this_thread::yield();
        }
    });

    const Bytes log = Make_Log(42, Best_Pos_Body(Best_Pos()));
    int applied = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (applied < 20 && std::chrono::steady_clock::now() < deadline) {
        board.Add_Data(log.data(), static_cast<int>(log.size()));
        while (applied < 20 && board.Parse() != 0) {
            if ((data.Update_Mask & ENGINE_FLAG_SOLUTION) == ENGINE_FLAG_SOLUTION) {
                ++applied;
                EXPECT_DOUBLE_EQ(data.Latitude, 0.5);
                EXPECT_EQ(data.Sol_Code, 11);
            }
        }
    }
    stop.store(true);
    engine.join();
    EXPECT_GE(applied, 20);
    EXPECT_GE(sent.load(), applied);
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
