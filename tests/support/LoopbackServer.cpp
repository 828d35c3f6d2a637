// SPDX-License-Identifier: MIT
#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace testsupport {
namespace {

// Headers cpp-httplib adds to a request for its handlers; no client sent them.
bool IsServerAddedHeader(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

}  // namespace

std::string SeenRequest::Header(const std::string& name) const {
  const auto found = headers.find(name);
  return found == headers.end() ? "<none>" : found->second;
}

size_t SeenRequest::Count(const std::string& name) const {
  return headers.count(name);
}

LoopbackServer::LoopbackServer() : server_(std::make_unique<httplib::Server>()) {
  port_ = server_->bind_to_any_port("127.0.0.1");
  EXPECT_GT(port_, 0);
  server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    Record(request);
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

LoopbackServer::LoopbackServer(const std::string& certificatePath, const std::string& keyPath)
    : server_(std::make_unique<httplib::SSLServer>(certificatePath.c_str(), keyPath.c_str())), secure_(true) {
  EXPECT_TRUE(server_->is_valid());
  port_ = server_->bind_to_any_port("127.0.0.1");
  EXPECT_GT(port_, 0);
  server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    Record(request);
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  // The library closes its socket only when it stops a running server.
  if (!thread_.joinable()) Start();
  server_->stop();
  thread_.join();
}

void LoopbackServer::Start() {
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // A stop that came before the server ran would be lost, so the start waits for it.
  while (!server_->is_running()) std::this_thread::yield();
}

std::string LoopbackServer::Url(const std::string& path) const {
  return (secure_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_) + path;
}

std::vector<SeenRequest> LoopbackServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackServer::Hold(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
}

void LoopbackServer::WaitForRequests(size_t count) {
  std::unique_lock<std::mutex> lock(mutex_);
  requested_.wait(lock, [&] { return requests_.size() >= count; });
}

void LoopbackServer::ServeTrickle(const std::string& path) {
  server_->Get(path, [this](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("application/xml", [this, sent = 0](size_t, httplib::DataSink& sink) mutable {
      if (sent++ == 100) {
        sink.done();
        return true;
      }
      Hold(200);
      return sink.write(" ", 1);
    });
  });
}

void LoopbackServer::Record(const httplib::Request& request) {
  SeenRequest seen;
  seen.target = request.target;
  for (const auto& [name, value] : request.headers) {
    if (!IsServerAddedHeader(name)) seen.headers.emplace(name, value);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(std::move(seen));
  }
  requested_.notify_all();
}

int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  // Bound but never listening, then closed: the port stays unused for a good while.
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  ::close(fd);
  EXPECT_TRUE(bound);
  return ntohs(address.sin_port);
}

SilentServer::SilentServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool listening = ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                         ::listen(listenFd_, 8) == 0 &&
                         ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  EXPECT_TRUE(listening);
  port_ = ntohs(address.sin_port);
}

SilentServer::~SilentServer() {
  if (connectionFd_ >= 0) ::close(connectionFd_);
  ::close(listenFd_);
}

std::string SilentServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string SilentServer::TakeRequest() {
  if (connectionFd_ >= 0) ::close(connectionFd_);
  connectionFd_ = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  std::string head;
  char buffer[4096];
  while (connectionFd_ >= 0 && head.find("\r\n\r\n") == std::string::npos) {
    const ssize_t got = ::recv(connectionFd_, buffer, sizeof buffer, 0);
    if (got <= 0) return {};
    head.append(buffer, static_cast<size_t>(got));
  }
  return head;
}

bool SilentServer::ClientClosed() const {
  pollfd watch{connectionFd_, POLLIN | POLLRDHUP, 0};
  if (::poll(&watch, 1, 0) <= 0) return false;
  char byte;
  return (watch.revents & (POLLRDHUP | POLLHUP)) != 0 || ::recv(connectionFd_, &byte, 1, MSG_PEEK) == 0;
}

size_t ProcessThreadCount() {
  size_t count = 0;
  DIR* tasks = ::opendir("/proc/self/task");
  if (tasks == nullptr) return 0;
  while (const dirent* entry = ::readdir(tasks)) {
    if (entry->d_name[0] != '.') ++count;
  }
  ::closedir(tasks);
  return count;
}

}  // namespace testsupport
