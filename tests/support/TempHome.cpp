#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace orvel::test {

TempHome::TempHome() {
  std::string templ = (fs::temp_directory_path() / "orvel-test-XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  m_root = templ;
  for (const char* sub : {"config", "data", "run"}) fs::create_directories(path(sub));
  fs::permissions(runtimeDir(), fs::perms::owner_all, fs::perm_options::replace);
  setEnv("HOME", m_root);
  setEnv("XDG_CONFIG_HOME", configHome());
  setEnv("XDG_DATA_HOME", dataHome());
  setEnv("XDG_RUNTIME_DIR", runtimeDir());
  setEnv("ORVEL_RADIO_HOME", std::nullopt);
}

TempHome::~TempHome() {
  for (const auto& [name, value] : m_saved) {
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
  std::error_code ec;
  fs::remove_all(m_root, ec);
}

void TempHome::setEnv(const std::string& name, const std::optional<std::string>& value) {
  if (!m_saved.count(name)) {
    const char* old = std::getenv(name.c_str());
    m_saved[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
  }
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
}

void writeFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  ASSERT_TRUE(out.good()) << path;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace orvel::test
