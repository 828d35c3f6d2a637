// SPDX-License-Identifier: MIT
// Certificates are checked against the system's store: a server whose certificate nobody
// vouches for gets no request, and the fetch fails like one that found no server.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "fetch/HttpDocumentSource.h"
#include "fetch/private/HttpRules.h"
#include "platform/HttpTransport.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

namespace fetch {
namespace {

// Writes a self-signed certificate for 127.0.0.1, valid from an hour ago for a day, and
// its key, as PEM files. It names the address correctly, so only the missing trust can
// fail the check.
bool WriteSelfSignedCertificate(const std::string& certificatePath, const std::string& keyPath) {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
  std::unique_ptr<X509, decltype(&X509_free)> certificate(X509_new(), X509_free);
  if (!key || !certificate) return false;
  X509* cert = certificate.get();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
  X509_set_pubkey(cert, key.get());
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(cert, name);
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* alternative = X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, "IP:127.0.0.1");
  if (alternative == nullptr) return false;
  X509_add_ext(cert, alternative, -1);
  X509_EXTENSION_free(alternative);
  if (X509_sign(cert, key.get(), EVP_sha256()) == 0) return false;

  std::FILE* certificateFile = std::fopen(certificatePath.c_str(), "w");
  std::FILE* keyFile = std::fopen(keyPath.c_str(), "w");
  const bool written = certificateFile != nullptr && keyFile != nullptr && PEM_write_X509(certificateFile, cert) == 1 &&
                       PEM_write_PrivateKey(keyFile, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
  if (certificateFile != nullptr) std::fclose(certificateFile);
  if (keyFile != nullptr) std::fclose(keyFile);
  return written;
}

TEST(HttpsTest, ASelfSignedCertificateFailsTheCheck) {
  testsupport::TempDir dir;
  ASSERT_TRUE(WriteSelfSignedCertificate(dir / "cert.pem", dir / "key.pem"));
  testsupport::LoopbackServer server(dir / "cert.pem", dir / "key.pem");
  server.Routes().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<rss/>", "application/xml");
  });
  server.Start();

  // The server itself works for a client that does not check.
  httplib::SSLClient unchecked("127.0.0.1", server.Port());
  unchecked.enable_server_certificate_verification(false);
  const httplib::Result answer = unchecked.Get("/feed");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->body, "<rss/>");
  const size_t served = server.Requests().size();

  HttpSettings settings;
  settings.Proxy.ProxyMode = 0;
  settings.ConnectTimeoutMs = 2000;
  settings.ReceiveTimeoutMs = 2000;
  HttpDocumentSource source(settings);
  const formats::FetchResult result = source.FetchDocument(formats::FetchRequest{server.Url("/feed")});
  EXPECT_EQ(result.status, formats::FetchResult::Status::kFailed);
  EXPECT_EQ(result.message, OpenFailedMessage());
  EXPECT_EQ(server.Requests().size(), served);  // no request got through

  // The transport says why.
  platform::HttpTransport transport("Plover-test", platform::HttpProxy{platform::ProxyKind::kDirect});
  platform::HttpRequest request;
  request.url = server.Url("/feed");
  request.connectTimeoutMs = 2000;
  const platform::HttpResponse response = transport.Get(request);
  EXPECT_EQ(response.outcome, platform::HttpOutcome::kFailed);
  EXPECT_NE(response.error.find("certificate"), std::string::npos) << response.error;
}

}  // namespace
}  // namespace fetch
