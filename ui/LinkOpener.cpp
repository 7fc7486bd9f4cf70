#include "ui/LinkOpener.h"

#include "ui/DesktopLinkOpener.h"

namespace orvel {

namespace {
LinkOpener* g_installed = nullptr;
}

LinkOpener& LinkOpener::current() {
  static DesktopLinkOpener desktop;
  return g_installed != nullptr ? *g_installed : desktop;
}

LinkOpener* LinkOpener::install(LinkOpener* opener) {
  LinkOpener* previous = g_installed;
  g_installed = opener;
  return previous;
}

}  // namespace orvel
