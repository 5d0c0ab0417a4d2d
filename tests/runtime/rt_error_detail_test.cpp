// The reason kept beside the last error number: set at the failure site, cut
// to its buffer, emptied by a bare number, read safely from any thread.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runtime/rt_core.h"

namespace {

TEST(ErrorDetail, FailureSetsNumberAndReasonAndSuccessKeepsThem) {
  EXPECT_EQ(rt_fail(ZQ_ERR_ILLEGAL_CALL, "depth %d not supported", 7), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "depth 7 not supported");

  // A reason alone leaves the number as it is.
  rt_set_error(ZQ_OK);
  rt_set_error_detail("image size %d x %d too large", 100000, 100000);
  EXPECT_EQ(rt_get_error(), ZQ_OK);
  EXPECT_STREQ(rt_error_detail(), "image size 100000 x 100000 too large");

  // A bare failing number drops the reason of an earlier failure; setting
  // no error keeps it.
  rt_set_error(ZQ_OK);
  EXPECT_STREQ(rt_error_detail(), "image size 100000 x 100000 too large");
  rt_set_error(ZQ_ERR_FILE_IO);
  EXPECT_STREQ(rt_error_detail(), "");
}

// A public call ending with rt_report keeps what its helper stored; a number
// the helper returned without storing is stored bare, never beside a stale
// reason of another number.
TEST(ErrorDetail, ReportKeepsTheHelpersFailure) {
  rt_fail(ZQ_ERR_FILE_IO, "writing 4 bytes failed: No space left on device");
  EXPECT_EQ(rt_report(ZQ_ERR_FILE_IO), ZQ_ERR_FILE_IO);
  EXPECT_STREQ(rt_error_detail(), "writing 4 bytes failed: No space left on device");
  EXPECT_EQ(rt_report(ZQ_ERR_ILLEGAL_CALL), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_STREQ(rt_error_detail(), "");
  rt_fail(ZQ_ERR_OUT_OF_MEMORY, "no memory");
  EXPECT_EQ(rt_report(ZQ_OK), ZQ_OK);
  EXPECT_EQ(rt_get_error(), ZQ_OK);
  EXPECT_STREQ(rt_error_detail(), "no memory");
}

TEST(ErrorDetail, LongReasonsAreCutToTheBuffer) {
  const std::string name(1000, 'x');
  rt_fail(ZQ_ERR_FILE_NOT_FOUND, "%s: not found", name.c_str());
  EXPECT_EQ(std::string(rt_error_detail()), name.substr(0, kErrorDetailSize - 1));
}

TEST(ErrorDetailThreads, WritersAndReadersSeeWholeReasons) {
  rt_set_error_detail("%s", "");  // whatever an earlier case left behind
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 2000; ++i) {
        if (t % 2) {
          rt_set_error_detail("reason %d", t);
        } else {
          const std::string seen = rt_error_detail();
          EXPECT_TRUE(seen.empty() || seen == "reason 1" || seen == "reason 3") << seen;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
}

}  // namespace
