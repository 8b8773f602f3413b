// The SMS client called by a host without Qt: no QCoreApplication exists, so the library runs its
// requests on an application object of its own. Plain C++ on purpose: the gateway is a bare
// socket, since nothing of Qt may run in this process before the library does.

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using SmsCallFunction = int (*)(const char *, char *, const char *);

// Answers one connection per status with the given HTTP status line, then stops.
class BareGateway
{
public:
    explicit BareGateway(std::vector<std::string> statuses)
        : m_statuses(std::move(statuses))
    {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_socket, 4);
        socklen_t length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~BareGateway()
    {
        m_thread.join();
        close(m_socket);
    }

    int port() const { return m_port; }
    const std::string &lastBody() const { return m_body; }

private:
    void serve()
    {
        for (const std::string &status : m_statuses) {
            const int client = accept(m_socket, nullptr, nullptr);
            std::string request;
            char chunk[4096];
            size_t headerEnd = std::string::npos;
            size_t length = 0;
            for (;;) {
                const ssize_t read = recv(client, chunk, sizeof chunk, 0);
                if (read <= 0)
                    break;
                request.append(chunk, static_cast<size_t>(read));
                headerEnd = request.find("\r\n\r\n");
                if (headerEnd == std::string::npos)
                    continue;
                const size_t field = request.find("ontent-Length:");
                if (field != std::string::npos)
                    length = std::stoul(request.substr(field + 14));
                if (request.size() >= headerEnd + 4 + length)
                    break;
            }
            m_body = headerEnd == std::string::npos ? std::string()
                                                    : request.substr(headerEnd + 4, length);
            const std::string response = std::string("HTTP/1.1 ") + status
                                         + "\r\nContent-Length: 6\r\nConnection: close\r\n\r\n"
                                           "answer";
            send(client, response.data(), response.size(), 0);
            close(client);
        }
    }

    std::vector<std::string> m_statuses;
    int m_socket = -1;
    int m_port = 0;
    std::string m_body;
    std::thread m_thread;
};

int failures = 0;

void check(bool condition, const char *what)
{
    std::printf("%s: %s\n", condition ? "PASS" : "FAIL", what);
    if (!condition)
        ++failures;
}

} // namespace

int main()
{
    void *library = dlopen(PERIKON_SMS_CLIENT_FILE, RTLD_NOW);
    check(library != nullptr, "library loads");
    if (!library)
        return 1;
    auto smsCall = reinterpret_cast<SmsCallFunction>(dlsym(library, "SMSCall"));
    check(smsCall != nullptr, "SMSCall resolves");
    if (!smsCall)
        return 1;

    {
        BareGateway gateway({"200 OK", "500 Internal Server Error"});
        const std::string config = "gateway=http;timeout=2000;url=http://127.0.0.1:"
                                   + std::to_string(gateway.port()) + "/sms";
        char reply[255];
        std::memset(reply, ' ', sizeof reply);
        check(smsCall(config.c_str(), reply, "13800000001,first") == 1, "first message is sent");
        check(std::strcmp(reply, "answer") == 0, "reply holds the gateway's answer");
        check(gateway.lastBody().find("first") != std::string::npos, "gateway saw the text");
        // The library's own application serves the next call as well.
        check(smsCall(config.c_str(), reply, "13800000001,second") == 0,
              "a 500 answer is not sent");
    }
    return failures == 0 ? 0 : 1;
}
