#include "MultipartScan.h"

#include "SearchOracle.h"

#include <cstring>

namespace sorvexsim {

namespace {
constexpr qsizetype kMaxLine = 1 << 20;  // longer lines are cut, never held whole
constexpr qsizetype kMaxFieldValue = 1 << 16;
}  // namespace

void MultipartScan::put(const QByteArray& bytes) {
    bytes_ += bytes.size();
    if (out_) out_(bytes);
}

void MultipartScan::beginPart(const QByteArray& name, const QByteArray& fileName, const QByteArray& contentType,
                              bool hasFileName) {
    endPart();
    QByteArray head = delimiter_ + "\r\nContent-Disposition: form-data; name=\"" + name + '"';
    if (hasFileName) head += "; filename=\"" + fileName + '"';
    head += "\r\n";
    if (!contentType.isEmpty()) head += "Content-Type: " + contentType + "\r\n";
    put(head + "\r\n");
    inPart_ = true;
    ++parts_;
    partName_ = name;
    pending_.clear();
    inIons_ = false;
}

void MultipartScan::content(const char* data, size_t size) {
    put(QByteArray::fromRawData(data, qsizetype(size)));
    if (partName_ != "FILE") {
        if (pending_.size() < kMaxFieldValue) pending_.append(data, std::min<qsizetype>(qsizetype(size), kMaxFieldValue - pending_.size()));
        return;
    }
    const char* p = data;
    const char* end = data + size;
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* stop = nl ? nl : end;
        if (pending_.size() < kMaxLine) pending_.append(p, std::min<qsizetype>(stop - p, kMaxLine - pending_.size()));
        if (!nl) return;
        fileLine(pending_);
        pending_.clear();
        p = nl + 1;
    }
}

void MultipartScan::fileLine(const QByteArray& raw) {
    const QByteArray text = raw.endsWith('\r') ? raw.left(raw.size() - 1) : raw;
    if (text == "BEGIN IONS") {
        inIons_ = true;
        queryHash_ = kEmptyContentHash;
        queryTitle_.clear();
    }
    if (!inIons_) return;
    hash_ = addContentLine(hash_, text);
    queryHash_ = addContentLine(queryHash_, text);
    if (text.startsWith("TITLE=")) queryTitle_ = text.mid(6);
    if (text == "END IONS") {
        inIons_ = false;
        ++found_.queries;
        found_.queryHashes.append(queryHash_);
        found_.queryTexts.append(
            QStringLiteral("query=%1,title=%2").arg(found_.queries).arg(QString::fromLatin1(queryTitle_)));
    }
}

void MultipartScan::endPart() {
    if (!inPart_) return;
    inPart_ = false;
    put("\r\n");
    if (partName_ == "FILE") {
        if (!pending_.isEmpty()) fileLine(pending_);
        pending_.clear();
        return;
    }
    const QString name = QString::fromLatin1(partName_);
    if (name == QLatin1String("QUE") && pending_.startsWith("query=")) {
        ++found_.queries;
        hash_ = addContentLine(hash_, pending_);
        found_.queryTexts.append(QString::fromLatin1(pending_));
        found_.queryHashes.append(fnv1a(pending_));
    } else if (name != QLatin1String("INTERMEDIATE") && name != QLatin1String("QUE")) {
        found_.fields.append({name, QString::fromLatin1(pending_)});
    }
}

void MultipartScan::finish() {
    endPart();
    put(delimiter_ + "--\r\n");
}

void MultipartScan::fill(SimSearch& search) const {
    search.queries = found_.queries;
    search.hash = hash_;
    search.fields = found_.fields;
    search.queryTexts = found_.queryTexts;
    search.queryHashes = found_.queryHashes;
}

}  // namespace sorvexsim
