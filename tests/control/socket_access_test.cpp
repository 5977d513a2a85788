// Who may connect, and where the socket lives.

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "control/peer_credentials.h"
#include "control/socket_path.h"
#include "platform/sim/temp_folder.h"

namespace vistarail::control {
namespace {

using ::testing::HasSubstr;

TEST(PeerCredentials, OnlyTheSameUserIsLetIn) {
  EXPECT_TRUE(peerMayConnect(501u, 501u));
  EXPECT_FALSE(peerMayConnect(502u, 501u));
  EXPECT_FALSE(peerMayConnect(0u, 501u)) << "root is another user";
  EXPECT_FALSE(peerMayConnect(std::nullopt, 501u)) << "a peer the system cannot name";
  EXPECT_TRUE(peerMayConnect(0u, 0u));
}

TEST(PeerCredentials, ReadsThePeersUserFromAConnectedSocket) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  EXPECT_EQ(peerUserId(pair[0]), ::geteuid());
  ::close(pair[0]);
  ::close(pair[1]);
  EXPECT_EQ(peerUserId(-1), std::nullopt);
}

Environment env(std::map<std::string, std::string> values) {
  return [values](const char* name) -> std::optional<std::string> {
    auto v = values.find(name);
    if (v == values.end()) return std::nullopt;
    return v->second;
  };
}

TEST(SocketPath, PrefersTheExplicitPathThenTheRuntimeFolder) {
  EXPECT_EQ(
      defaultSocketPath(env({{"VISTARAIL_SOCKET", "/x/y.sock"}, {"XDG_RUNTIME_DIR", "/run/u"}}), 5),
      "/x/y.sock");
#if defined(__APPLE__)
  EXPECT_EQ(defaultSocketPath(env({{"TMPDIR", "/var/folders/ab/T/"}}), 5),
            "/var/folders/ab/T/vistarail/control.sock");
#else
  EXPECT_EQ(defaultSocketPath(env({{"XDG_RUNTIME_DIR", "/run/user/1000/"}}), 5),
            "/run/user/1000/vistarail/control.sock");
#endif
  EXPECT_EQ(defaultSocketPath(env({}), 1000), "/tmp/vistarail-1000/control.sock");
}

TEST(SocketPath, MakesAPrivateFolderAndRefusesOnesThatAreNot) {
  sim::test::TempFolder root;
  const uid_t me = ::geteuid();
  const std::string fresh = (root / "fresh" / "control.sock").string();
  EXPECT_EQ(prepareSocketDirectory(fresh, me), std::nullopt);
  struct stat info {};
  ASSERT_EQ(::stat((root / "fresh").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  ::mkdir((root / "open").c_str(), 0700);
  ::chmod((root / "open").c_str(), 0733);
  EXPECT_THAT(prepareSocketDirectory((root / "open" / "s").string(), me).value_or(""),
              HasSubstr("open to other users"));

  std::ofstream((root / "file").string()) << "x";
  EXPECT_THAT(prepareSocketDirectory((root / "file" / "s").string(), me).value_or(""),
              HasSubstr("is not a directory"));

  EXPECT_THAT(prepareSocketDirectory((root / "fresh" / "s").string(), me + 1).value_or(""),
              HasSubstr("another user"));
  EXPECT_THAT(prepareSocketDirectory("/" + std::string(200, 'p') + "/s", me).value_or(""),
              HasSubstr("longer than"));
  EXPECT_THAT(prepareSocketDirectory("control.sock", me).value_or(""),
              HasSubstr("needs a directory"));
}

}  // namespace
}  // namespace vistarail::control
