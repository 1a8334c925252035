#include "platform/qt/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "platform/gothics.h"

namespace poroten::platform::qt {

namespace {

// The gothics of the shared list that are installed and really carry Japanese. Asking
// the font database is slow, and the fonts do not change while the game runs,
// so this is worked out once.
const QStringList& installedJapaneseGothics() {
    static const QStringList installed = [] {
        QStringList found;
        for (const std::string_view name : kJapaneseGothics) {
            const QString family =
                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
            if (QFontDatabase::hasFamily(family) &&
                QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) {
                found.push_back(family);
            }
        }
        return found;
    }();
    return installed;
}

}  // namespace

QFont resolveFont(const FontDesc& desc, const QFont& base) {
    QFont font = base;
    if (!desc.face.empty()) {
        const QString face = QString::fromUtf8(desc.face);
        QStringList families{face};
        // Qt skips families that are not installed; on its own it would fall
        // back to the desktop's default font, often one without kana.
        for (const QString& family : installedJapaneseGothics()) {
            if (family != face) {
                families.push_back(family);
            }
        }
        font.setFamilies(families);
    }
    if (desc.points > 0) {
        font.setPointSize(desc.points);
    }
    return font;
}

}  // namespace poroten::platform::qt
