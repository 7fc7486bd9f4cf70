#pragma once
// The desktop's way of opening links (xdg-open behind QDesktopServices): addresses go to the
// default browser, "mailto:" addresses to the default mail client. UI thread only.

#include "ui/LinkOpener.h"

namespace orvel {

class DesktopLinkOpener : public LinkOpener {
 public:
  // A link without a scheme ("www.example.org") is read as a web address, as a browser's
  // address bar would read it.
  bool openInBrowser(const WString& link) override;
  bool openMail(const WString& address) override;
};

}  // namespace orvel
