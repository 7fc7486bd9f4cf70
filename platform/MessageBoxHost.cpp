#include "platform/MessageBoxHost.h"

#include <cstdio>

namespace orvel {
namespace {

// Headless tools have nobody to ask: boxes go to stderr and take the first button's answer
// (OK), and questions are answered No so that nothing is deleted unasked.
class StderrHost : public MessageBoxHost {
 public:
  int show(const WString& text, const WString& caption, Icon, Buttons buttons) override {
    std::fprintf(stderr, "%s: %s\n", toUtf8(caption).c_str(), toUtf8(text).c_str());
    return buttons == Buttons::YesNo ? kNo : kOk;
  }
};

StderrHost g_stderrHost;
MessageBoxHost* g_host = &g_stderrHost;

}  // namespace

MessageBoxHost& MessageBoxHost::current() { return *g_host; }

MessageBoxHost* MessageBoxHost::install(MessageBoxHost* host) {
  MessageBoxHost* previous = g_host == &g_stderrHost ? nullptr : g_host;
  g_host = host != nullptr ? host : &g_stderrHost;
  return previous;
}

}  // namespace orvel
