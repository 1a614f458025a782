// Two users' sockets: neither reaches the other. The folder keeps other users out, and a
// server asks who is calling, for the one user the folder cannot stop (root).
#include "platform/LocalPeer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ambrin {
namespace {

constexpr uid_t kOtherUser = 65534;  // nobody

sockaddr_un Address(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    return address;
}

int Listening(const std::string& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = Address(path);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 1) != 0) return -1;
    return fd;
}

// Runs body as the other user in a child; its exit status.
template <typename Body>
int AsOtherUser(Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0) _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LocalPeer, TwoUsersSocketsCannotReachEachOther)
{
    if (geteuid() != 0) GTEST_SKIP() << "switching users needs root";
    const std::string folder = platform::PrivateSocketFolder();
    ASSERT_FALSE(folder.empty());
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "the folder admits its user alone";

    // This user's socket: the other user cannot even connect.
    const std::string ours = folder + "/peer-test-" + std::to_string(getpid());
    const int server = Listening(ours);
    ASSERT_GE(server, 0);
    const int reached = AsOtherUser([&] {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un address = Address(ours);
        return connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ? 1 : errno == EACCES ? 0 : 2;
    });
    EXPECT_EQ(reached, 0) << "1: connected; 2: refused, but not for want of permission";
    close(server);
    unlink(ours.c_str());

    // The other user's socket, which root reaches through any folder: its server asks and refuses.
    const std::string theirs = "/tmp/peer-test-other-" + std::to_string(getpid());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0) _exit(99);
        const int fd = Listening(theirs);
        const char up = fd >= 0 ? 'y' : 'n';
        if (write(ready[1], &up, 1) != 1 || fd < 0) _exit(98);
        const int caller = accept(fd, nullptr, nullptr);
        unlink(theirs.c_str());
        _exit(platform::PeerIsThisUser(caller) ? 1 : 0);
    }
    char up = 0;
    ASSERT_EQ(read(ready[0], &up, 1), 1);
    ASSERT_EQ(up, 'y');
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = Address(theirs);
    EXPECT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other user's server took root for its own user";
    close(fd);
    close(ready[0]);
    close(ready[1]);
}

}  // namespace
}  // namespace ambrin
