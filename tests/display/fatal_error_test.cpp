#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "search_window/search_window.h"

// Running out of memory in the middle of a search is fatal: a message box
// names the bytes asked for and, once it is answered, the process ends with
// status -1 (255 to the parent) without calling the exit routine.
namespace {

namespace t = rt::testing;
using search_window::description;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kExitRoutineMarker = "exit routine called";

void exit_routine() {
    std::fprintf(stderr, "%s\n", kExitRoutineMarker);
}

// Answers the report as soon as it is open, and shows the parent what it said.
void answer_message_box_when_open() {
    t::run_after(20, [] {
        std::string text = t::dismiss_message_box();
        if (text.empty()) return answer_message_box_when_open();
        std::fprintf(stderr, "message box: %s\n", text.c_str());
    });
}

void search_with_allocations_left(long successful_allocations, const char* film_name) {
    rt::register_exit_routine(exit_routine);
    rt::load_startup_window(description);
    t::process_pending_events();
    t::set_edit_text(description, "编辑框1", film_name);
    t::fail_allocations_after(successful_allocations);
    answer_message_box_when_open();
    t::click(description, "按钮1");
    t::process_pending_events();
}

TEST(OutOfMemoryDeathTest, SearchEndsWithReportNamingTheBytesAndStatus255) {
    // The child starts afresh rather than sharing this process's display connection.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::size_t prefix_length = std::strlen(search_window::search_address_prefix);
    // "abc": the edit box copy takes 4 bytes, its encoding 3 * 3 + 1, the address the rest.
    const struct {
        const char* failing;
        long successful_allocations;
        std::size_t bytes;
    } cases[] = {
        {"copy of the edit box text", 0, 4},
        {"encoded film name", 1, 10},
        {"search address", 2, prefix_length + 3 + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        const std::string report =
            "message box: 内存不足：无法分配 " + std::to_string(c.bytes) + " 字节";
        EXPECT_EXIT(search_with_allocations_left(c.successful_allocations, "abc"),
                    ::testing::ExitedWithCode(255),
                    AllOf(HasSubstr(report), Not(HasSubstr(kExitRoutineMarker))));
    }
}

}  // namespace
