// The null driver and the driver list.
#include <gtest/gtest.h>

#include <string>

#include "drivers/driver.h"

// It locks and reads the simulated pointer; there is nothing else to do.
TEST(NullDriver, OnlyLocksAndReadsTheSimulatedPointer) {
  EXPECT_EQ(std::string(null_driver.name), "Null");
  EXPECT_NE(null_driver.lock, nullptr);
  EXPECT_NE(null_driver.unlock, nullptr);
  null_driver.lock();
  null_driver.unlock();
  EXPECT_EQ(null_driver.init, nullptr);
  EXPECT_NE(null_driver.get_mouse, nullptr);
  EXPECT_EQ(null_driver.set_mouse, nullptr);
  EXPECT_EQ(null_driver.flip, nullptr);
}

TEST(DriverList, IsDirectXGdiOpenGLAndReplaceable) {
  const GfxDriver* const* list = driver_list();
  ASSERT_NE(list[0], nullptr);
  EXPECT_EQ(std::string(list[0]->name), "DirectX");
  EXPECT_EQ(std::string(list[1]->name), "GDI");
  EXPECT_EQ(std::string(list[2]->name), "OpenGL");
  EXPECT_EQ(list[3], nullptr);
  const GfxDriver* const only_null[] = {&null_driver, nullptr};
  driver_set_list(only_null);
  EXPECT_EQ(driver_list()[0], &null_driver);
  driver_set_list(nullptr);
  EXPECT_EQ(driver_list()[0], list[0]);
}
