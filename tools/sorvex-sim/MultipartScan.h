#pragma once
// Takes the parts of a multipart/form-data search body as the server's parser
// hands them over, piece by piece, without keeping the body: the small form
// fields, the ion blocks of the peak list and the QUE parts of a follow-up,
// with the content hash of SearchOracle.h. It also gives back the body's bytes
// as they were framed (the parts as received between the delimiters), so the
// total can be checked against Content-Length and the body kept for tests.
#include "SimSearch.h"

#include <QByteArray>

#include <functional>

namespace sorvexsim {

class MultipartScan {
public:
    // `out` receives the framed body bytes (may be empty).
    MultipartScan(const QByteArray& boundary, std::function<void(const QByteArray&)> out)
        : delimiter_("--" + boundary), out_(std::move(out)) {}
    void beginPart(const QByteArray& name, const QByteArray& fileName, const QByteArray& contentType,
                   bool hasFileName);
    void content(const char* data, size_t size);
    void finish();  // after the last part: the closing delimiter
    qint64 framedBytes() const { return bytes_; }
    int parts() const { return parts_; }
    void fill(SimSearch& search) const;

private:
    void put(const QByteArray& bytes);
    void fileLine(const QByteArray& text);
    void endPart();

    QByteArray delimiter_;
    std::function<void(const QByteArray&)> out_;
    qint64 bytes_ = 0;
    int parts_ = 0;
    bool inPart_ = false;
    QByteArray partName_;
    QByteArray pending_;  // FILE: the unfinished line; other parts: the value
    bool inIons_ = false;
    quint32 hash_ = 2166136261u;
    quint32 queryHash_ = 0;
    QByteArray queryTitle_;
    SimSearch found_;
};

}  // namespace sorvexsim
