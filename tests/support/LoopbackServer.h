// SPDX-License-Identifier: MIT
#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// A request as the server saw it.
struct SeenRequest {
  std::string target;                               // the request line's target: a path, or a whole address for a proxy
  std::multimap<std::string, std::string> headers;  // as sent by the client, names as written

  // The value of a header, or "<none>".
  std::string Header(const std::string& name) const;
  size_t Count(const std::string& name) const;
};

// An HTTP (or, with a certificate, HTTPS) server of cpp-httplib on a free loopback port,
// serving in threads of its own while the test runs. It records every request before the
// handler runs, so a test that has its answer also finds the request.
class LoopbackServer {
 public:
  LoopbackServer();
  LoopbackServer(const std::string& certificatePath, const std::string& keyPath);
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer();

  // Handlers are added before the first request.
  httplib::Server& Routes() { return *server_; }

  // Starts serving (the port is bound already) and returns once the server runs.
  void Start();

  int Port() const { return port_; }
  std::string Url(const std::string& path) const;  // "http://127.0.0.1:<port>" + path
  std::vector<SeenRequest> Requests() const;

  // For handlers: waits up to `ms`, returning early when the server is being stopped.
  void Hold(int ms);

  // Waits until the server has seen `count` requests in all.
  void WaitForRequests(size_t count);

  // Serves at `path` a document that trickles: a byte every 0.2 s, so the server is never
  // silent for long, and after 100 of them (20 s) the end, so that a fetch without a time
  // limit ends too.
  void ServeTrickle(const std::string& path);

 private:
  void Record(const httplib::Request& request);

  std::unique_ptr<httplib::Server> server_;
  bool secure_ = false;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  std::condition_variable requested_;
  bool stopping_ = false;
  std::vector<SeenRequest> requests_;
};

// A loopback port nobody listens on: connecting to it is refused.
int ClosedPort();

// A server on a free loopback port that takes connections and never answers them. It has
// no thread: the test takes each connection itself.
class SilentServer {
 public:
  SilentServer();
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  ~SilentServer();

  std::string Url(const std::string& path) const;

  // Waits for the next connection and reads its request head, which then stays unanswered.
  // Returns the head; empty when the client closed the connection first.
  std::string TakeRequest();

  // Whether the client closed the connection of the latest request, without waiting.
  bool ClientClosed() const;

 private:
  int listenFd_ = -1;
  int connectionFd_ = -1;
  int port_ = 0;
};

// The threads of this process, as the system counts them now.
size_t ProcessThreadCount();

}  // namespace testsupport
