#pragma once
// A private home for one test: a fresh temporary folder with HOME, XDG_CONFIG_HOME,
// XDG_DATA_HOME and XDG_RUNTIME_DIR pointing into it (ORVEL_RADIO_HOME unset), restored and
// removed when the object goes away.

#include <map>
#include <optional>
#include <string>

namespace orvel::test {

class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::string& root() const { return m_root; }
  std::string path(const std::string& relative) const { return m_root + "/" + relative; }
  std::string configHome() const { return path("config"); }
  std::string dataHome() const { return path("data"); }
  std::string runtimeDir() const { return path("run"); }

  // Sets (or, with nothing, unsets) a variable until the object goes away.
  void setEnv(const std::string& name, const std::optional<std::string>& value);

 private:
  std::string m_root;
  std::map<std::string, std::optional<std::string>> m_saved;
};

// Writes a file, making its folder; fails the test on error.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);

}  // namespace orvel::test
