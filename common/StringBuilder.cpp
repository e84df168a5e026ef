#include "common/StringBuilder.h"

#include "common/EventSink.h"

#include <limits>

namespace common {

void clsStringBuilder::setLGrowthRate(long rate) {
    if (rate < 1) {
        reportError(QStringLiteral("Numerical error in clsStringBuilder"));
        return;
    }
    lGrowthRate_ = rate;
}

void clsStringBuilder::CreateBuffer() {
    pieces_.reserve(initialCapacity_);
    lCapacity_ = initialCapacity_;
    allocated_ = true;
}

void clsStringBuilder::GrowBuffer() {
    if (lCapacity_ > std::numeric_limits<long>::max() - lGrowthRate_) throw std::overflow_error("Overflow");
    pieces_.reserve(lCapacity_ + lGrowthRate_);
    lCapacity_ += lGrowthRate_;
}

void clsStringBuilder::add(const QByteArray& piece) {
    try {
        if (!allocated_) CreateBuffer();
        if (lCapacity_ < lCount_ + 1) GrowBuffer();
        pieces_.append(piece);
        ++lCount_;
    } catch (const std::bad_alloc&) {
        reportError(QStringLiteral("(TVS1008) 7: Out of memory"));
    } catch (const std::exception& e) {
        reportError(QStringLiteral("(TVS1008) 6: ") + QString::fromUtf8(e.what()));
    }
}

QByteArray clsStringBuilder::Item(long index) const {
    if (index < 0 || index >= lCount_) {
        reportError(QStringLiteral("Index out of bounds in clsStringBuilder"));
        return {};
    }
    return pieces_[index];
}

void clsStringBuilder::SetInitialCapacity(long capacity) {
    if (allocated_) return;
    if (capacity < 1) {
        reportError(QStringLiteral("Initial Capacity must greater than zero in clsStringBuilder"));
        return;
    }
    initialCapacity_ = capacity;
}

QByteArray clsStringBuilder::GetContent() const {
    qsizetype total = 0;
    for (const QByteArray& p : pieces_) total += p.size();
    QByteArray out;
    out.reserve(total);
    for (const QByteArray& p : pieces_) out += p;
    return out;
}

}  // namespace common
