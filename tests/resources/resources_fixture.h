// Shared set-up of the localisation tests: the host services (the session
// store among them) and the language components registered, the process-wide
// slots as in a fresh process (no cached language or loader, no pending
// error), and an empty session; everything put back afterwards. Loaders that tests install
// are replaced by the real ones again.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/component_registry.h"
#include "host/err_object.h"
#include "host/host_services.h"
#include "host/lexon_loader.h"
#include "session/res_text.h"
#include "support/scoped_session.h"
#include "support/test_context.h"

namespace orva {

// A loader that answers "[key]" and remembers what it was asked.
class RecordingLoader : public ResLoader {
  public:
    struct Call {
        std::string base, language, key;
    };
    std::string LoadString(std::string_view key) override {
        calls.push_back({ResFileBaseName(), LanguageID(), std::string(key)});
        return "[" + std::string(key) + "]";
    }
    std::vector<Call> calls;
};

// A loader whose every lookup fails.
class FailingLoader : public ResLoader {
  public:
    std::string LoadString(std::string_view) override {
        throw ComError(3265, "resource not found", "ORVARESLOADER");
    }
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (previous_) {
            ::setenv(name_, previous_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> previous_;
};

class ResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();
        RegisterLanguageComponents();
    }
    // Loaders a test installed give way to the real ones.
    void TearDown() override { RegisterLanguageComponents(); }

    // Installs `loader` as what ORVARESLOADER.Loader creates.
    template <class L>
    std::shared_ptr<L> UseLoader(std::shared_ptr<L> loader) {
        ComponentRegistry::Register<ResLoader>(ResLoader::kProgID, [loader] { return loader; });
        return loader;
    }

    // A fresh empty folder below the test's temporary directory.
    static std::string EmptyFolder(const std::string& name) {
        auto dir = std::filesystem::temp_directory_path() /
                   ("orva-i18n-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        return dir.string();
    }

    test::ScopedSession session_{""};
    test::TestContext ctx_;
};

}  // namespace orva
