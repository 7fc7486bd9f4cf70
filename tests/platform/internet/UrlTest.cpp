#include <gtest/gtest.h>

#include "platform/internet/Url.h"

namespace orvel {
namespace {

TEST(UrlTest, CracksThePartsARequestNeeds) {
  UrlComponents url;
  ASSERT_TRUE(crackUrl("HTTP://user:pw@radio.example:8000/listen.mp3?sid=1&t=a#top", url));
  EXPECT_EQ(url.scheme, "http");
  EXPECT_EQ(url.user, "user");
  EXPECT_EQ(url.password, "pw");
  EXPECT_EQ(url.host, "radio.example");
  EXPECT_EQ(url.port, 8000);
  EXPECT_EQ(url.objectName(), "/listen.mp3?sid=1&t=a");
  EXPECT_EQ(url.fragment, "#top");
  EXPECT_EQ(requestUrl(url), "http://user:pw@radio.example:8000/listen.mp3?sid=1&t=a");

  ASSERT_TRUE(crackUrl("https://radio.example?x=1", url));
  EXPECT_EQ(url.port, 443);
  EXPECT_EQ(url.objectName(), "/?x=1");
  ASSERT_TRUE(crackUrl("http://[::1]:8080", url));
  EXPECT_EQ(url.host, "::1");
  EXPECT_EQ(requestUrl(url), "http://[::1]:8080/");
  ASSERT_TRUE(crackUrl("http://radio.example/a@b", url));  // "@" in the path is no user
  EXPECT_EQ(url.host, "radio.example");
  EXPECT_EQ(url.path, "/a@b");
}

TEST(UrlTest, RefusesWhatIsNoHttpUrl) {
  UrlComponents url;
  for (const char* text :
       {"", "radio.example/x", "ftp://radio.example/", "http://", "http://:80/", "http://host:0/",
        "http://host:65536/", "http://host:8o/", "http://[::1/"}) {
    EXPECT_FALSE(crackUrl(text, url)) << text;
  }
}

}  // namespace
}  // namespace orvel
