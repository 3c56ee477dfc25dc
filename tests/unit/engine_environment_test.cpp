#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/engine_environment.h"

namespace {

// The settings the program gives its web engine: set where the person has not
// chosen otherwise, and only those it set itself are taken back from the
// programs the desktop starts for it.
TEST(EngineEnvironment, SetsWhatIsUnsetAndLeavesThePersonsChoice) {
    setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "0", 1);
    unsetenv("MESA_SHADER_CACHE_DISABLE");

    rt::set_engine_environment();
    rt::set_engine_environment();  // a second call changes nothing

    EXPECT_STREQ(std::getenv("WEBKIT_DISABLE_DMABUF_RENDERER"), "0");
    EXPECT_STREQ(std::getenv("MESA_SHADER_CACHE_DISABLE"), "true");
    auto set_here = rt::engine_environment_set_here();
    EXPECT_EQ(std::vector<std::string>(set_here.begin(), set_here.end()),
              std::vector<std::string>{"MESA_SHADER_CACHE_DISABLE"});
}

}  // namespace
