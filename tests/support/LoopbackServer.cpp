// SPDX-License-Identifier: MIT
#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
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

void LoopbackServer::Record(const httplib::Request& request) {
  SeenRequest seen;
  seen.target = request.target;
  for (const auto& [name, value] : request.headers) {
    if (!IsServerAddedHeader(name)) seen.headers.emplace(name, value);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(std::move(seen));
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

}  // namespace testsupport
