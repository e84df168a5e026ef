#pragma once
// Collects a body that arrives in many pieces (HTTP chunks, form parts) and
// joins them once, on demand. Pieces are bytes: bodies stay bytes until their
// reader decodes them.
#include <QByteArray>
#include <QList>

namespace common {

class clsStringBuilder {
public:
    long lCount() const { return lCount_; }
    long lCapacity() const { return lCapacity_; }
    long lGrowthRate() const { return lGrowthRate_; }
    void setLGrowthRate(long rate);  // below 1: reported, old value kept

    void add(const QByteArray& piece);
    QByteArray Item(long index) const;  // out of range: reported, empty result
    void SetInitialCapacity(long capacity);
    QByteArray GetContent() const;  // empty before the first add

private:
    void CreateBuffer();
    void GrowBuffer();

    QList<QByteArray> pieces_;
    long lCount_ = 0;
    long lCapacity_ = 0;
    long lGrowthRate_ = 50;
    long initialCapacity_ = 50;
    bool allocated_ = false;
};

}  // namespace common
