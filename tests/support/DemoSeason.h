#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "data02/demo/Demo.h"
#include "tests/support/SeasonFixture.h"

namespace qff::test {

// Builds the demonstration season `options` describes in the context's
// folder; empty when it was built, else why not.
inline std::string buildDemoSeason(Singleton& context, const DemoOptions& options) {
    DemoReport report;
    std::string error;
    return createDemoSeason(context, options, report, error) ? std::string() : error;
}

// A demonstration season built once for a whole test suite, since building
// one takes far longer than copying it; every test opens its own copy. A
// suite calls buildSuiteDemo from its SetUpTestSuite.
class DemoSuite : public SeasonFixture {
  protected:
    static void buildSuiteDemo(const DemoOptions& options) {
        demo_ = std::make_unique<TempDir>();
        year_ = options.year;
        std::string error;
        auto context = Singleton::create(SeasonEnv{demo_->path(), [] { return kMid2011; }}, error);
        ASSERT_TRUE(context) << error;
        context->preferences().load();
        ASSERT_EQ(buildDemoSeason(*context, options), "");
    }
    static void TearDownTestSuite() { demo_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(demo_) << "the suite's demonstration season was not built";
        std::filesystem::copy(demo_->path(), dir_.path(), std::filesystem::copy_options::recursive);
        start();
        ASSERT_TRUE(openSeason(context(), year_).opened);
    }

  private:
    static inline std::unique_ptr<TempDir> demo_;
    static inline int year_ = 0;
};

}  // namespace qff::test
