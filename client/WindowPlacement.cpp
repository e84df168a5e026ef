#include "client/WindowPlacement.h"

#include "common/Preferences.h"
#include "common/Settings.h"
#include "clientcommon/forms/FormLayout.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace tavrel {

namespace {

const QString kApp = QStringLiteral("Sorvex Tavrel");

std::optional<double> storedNumber(const char* name) {
    const QVariant v = common::modGlobal_GetSetting(kApp, common::PreferencesSection, QLatin1String(name));
    if (!v.isValid()) return std::nullopt;
    bool ok = false;
    const QString text = v.toString().trimmed();
    double value = QLocale::c().toDouble(text, &ok);
    if (!ok) value = QLocale::system().toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

int pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QString twipsText(int px) { return QString::number(static_cast<double>(static_cast<float>(px * kTwipsPerPixel))); }

}  // namespace

std::optional<QRect> storedPlacement() {
    const auto top = storedNumber("FormTop");
    if (!top) return std::nullopt;
    const auto left = storedNumber("FormLeft");
    const auto width = storedNumber("FormWidth");
    const auto height = storedNumber("FormHeight");
    if (!left || !width || !height) return std::nullopt;
    return QRect(pixels(*left), pixels(*top), pixels(*width), pixels(*height));
}

QRect placementToApply(const std::optional<QRect>& stored, const QSize& windowSize, const QList<QRect>& screens) {
    if (stored && stored->width() > 0 && stored->height() > 0)
        for (const QRect& screen : screens)
            if (screen.contains(*stored)) return *stored;
    const QRect primary = screens.isEmpty() ? QRect(0, 0, 1024, 768) : screens.first();
    const QSize size = windowSize;
    return QRect(primary.x() + (primary.width() - size.width()) / 2, primary.y() + (primary.height() - size.height()) / 2,
                 size.width(), size.height());
}

void restorePlacement(QWidget* window) {
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) screens.append(primary->geometry());
    for (QScreen* s : QGuiApplication::screens())
        if (s != QGuiApplication::primaryScreen()) screens.append(s->geometry());
    const std::optional<QRect> stored = storedPlacement();
    if (!stored && !screens.isEmpty()) {
        // A first start: room for the editors, within the screen.
        const QSize roomy = QSize(980, 740).boundedTo(screens.first().size() * 0.9).expandedTo(window->minimumSize());
        window->resize(roomy);
    }
    const QRect place = placementToApply(stored, window->size(), screens);
    window->resize(place.size());
    window->move(place.topLeft());
}

void savePlacement(const QWidget* window) {
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    const QPoint at = window->pos();
    const QSize size = window->size();
    const QPair<const char*, int> values[] = {
        {"FormTop", at.y()}, {"FormLeft", at.x()}, {"FormWidth", size.width()}, {"FormHeight", size.height()}};
    for (const auto& [name, px] : values)
        common::modGlobal_SaveSetting(kApp, common::PreferencesSection, QLatin1String(name), twipsText(px));
}

}  // namespace tavrel
