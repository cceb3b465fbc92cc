// A test suite sharing one loaded and registered plug-in module.
#pragma once

#include "PluginModule.h"
#include "platform/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <memory>

class PluginFixture : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    plugin_ = std::make_unique<PluginModule>();
    ASSERT_TRUE(plugin_->Loaded()) << plugin_->Error();
    ASSERT_TRUE(plugin_->AutoRegister());
  }
  static void TearDownTestSuite() { plugin_.reset(); }

  static const PluginModule &Plugin() { return *plugin_; }

private:
  static inline std::unique_ptr<PluginModule> plugin_;
};
