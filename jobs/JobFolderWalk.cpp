// Walking watched folders: wildcard folder paths, name masks and the listing
// of new items. Listing goes straight to readdir, so a tree of many thousand
// files is walked without a stat per file.
#include "jobs/JobWatchedFolders.h"

#include "convert/ImportQuellmarkOptions.h"
#include "filteropts/OptionLayouts.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace tavrelsvc {

namespace {

bool hasWildcard(const QString& text) { return text.contains(u'*') || text.contains(u'?'); }

// Classic wildcard match with one backtrack point, letter case ignored.
bool wildcardMatch(QStringView name, QStringView mask) {
    qsizetype n = 0, m = 0, starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == u'?' || mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++n, ++m;
        } else if (m < mask.size() && mask[m] == u'*') {
            starMask = m++;
            starName = n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*') ++m;
    return m == mask.size();
}

enum class EntryKind { Other, File, Folder };

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// A symbolic link is neither: what it points at may lie anywhere, and it is
// never taken up (the entry itself is asked, lstat, not its target).
EntryKind kindOf(const QByteArray& fullPath, unsigned char type) {
    if (type == DT_REG) return EntryKind::File;
    if (type == DT_DIR) return EntryKind::Folder;
    if (type != DT_UNKNOWN) return EntryKind::Other;
    struct stat st {};
    if (::lstat(fullPath.constData(), &st) != 0) return EntryKind::Other;
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    return EntryKind::Other;
}

// Entries of one folder, hidden ones (names starting with ".") left out as
// the instrument computers' listings leave out hidden files. Symbolic links
// are left out too, to files and to folders alike.
template <typename Visit>
void listFolder(const QString& folder, Visit&& visit) {
    const QByteArray base = QFile::encodeName(folder.endsWith(u'/') ? folder : folder + u'/');
    std::unique_ptr<DIR, DirCloser> dir(::opendir(base.constData()));
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.') continue;
        const QByteArray full = base + entry->d_name;
        const EntryKind kind = kindOf(full, entry->d_type);
        if (kind != EntryKind::Other) visit(QFile::decodeName(entry->d_name), QFile::decodeName(full), kind);
    }
}

QString withSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

}  // namespace

bool matchesMask(const QString& name, const QString& mask) {
    if (mask.isEmpty() || mask == u"*" || mask == u"*.*") return true;
    return wildcardMatch(name, mask);
}

QString watchBaseFolder(const QString& monitorDirectory) {
    QString path = withSlash(monitorDirectory);
    const qsizetype star = path.indexOf(u'*');
    if (star >= 0) path.truncate(star);
    const qsizetype question = path.indexOf(u'?');
    if (question >= 0) path.truncate(question);
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString folderKey(const QString& folder) {
    qsizetype end = folder.size();
    while (end > 1 && folder[end - 1] == u'/') --end;
    return folder.left(end);
}

bool folderExists(const QString& folder) {
    struct stat st {};
    return ::stat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QStringList clsJob_ExpandFolderPattern(const QString& pattern,
                                       const std::function<void(const QString& folder)>& entering) {
    QStringList folders{pattern.startsWith(u'/') ? QStringLiteral("/") : QString()};
    bool belowBase = false;  // from the first wildcard on, the folders decide what matches
    for (const QString& component : pattern.split(u'/', Qt::SkipEmptyParts)) {
        belowBase = belowBase || hasWildcard(component);
        QStringList next;
        for (const QString& folder : folders) {
            const QString prefix = folder.isEmpty() ? QString() : withSlash(folder);
            if (belowBase && entering) entering(folder.isEmpty() ? QStringLiteral(".") : folder);
            if (!hasWildcard(component)) {
                const QString candidate = prefix + component;
                if (folderExists(candidate)) next << candidate;
                continue;
            }
            listFolder(prefix.isEmpty() ? QStringLiteral(".") : prefix,
                       [&](const QString& name, const QString&, EntryKind kind) {
                           if (kind == EntryKind::Folder && matchesMask(name, component)) next << prefix + name;
                       });
        }
        folders = next;
        if (folders.isEmpty()) break;
    }
    return folders;
}

qint64 clsJob_CollectNewItems(const QString& folder, const QString& mask, const QSet<QString>& known,
                              OrderedItems& newItems, bool subFolders, bool itemsAreFolders,
                              const FolderWalkHooks& hooks) {
    qint64 count = 0;
    QStringList subs;
    if (hooks.entering) hooks.entering(folderKey(folder));
    listFolder(folder, [&](const QString& name, const QString& full, EntryKind kind) {
        const bool isItem = itemsAreFolders ? kind == EntryKind::Folder : kind == EntryKind::File;
        if (isItem && matchesMask(name, mask)) {
            ++count;
            if (!known.contains(full)) newItems.add(full);
        }
        if (kind == EntryKind::Folder && subFolders) subs << full;
    });
    for (const QString& sub : subs) {
        // A new item folder is one data item, not a place to look for more.
        if (newItems.contains(sub)) continue;
        if (hooks.descend && !hooks.descend(sub)) continue;
        if (hooks.keepGoing && !hooks.keepGoing()) break;
        count += clsJob_CollectNewItems(sub, mask, known, newItems, true, itemsAreFolders, hooks);
    }
    return count;
}

bool clsJob_QuellmarkDataIsFolder(const QString& importFilter, const QString& filterOptions) {
    if (importFilter != filteropts::filterDisplayName(filteropts::kQuellmark)) return false;
    // The data format as the conversion reads it, also from an older or damaged
    // string, so that the walk never takes as folders what is converted as files.
    return quellmarkFormatIsFolder(readQuellmarkOptions(filterOptions).dataFormatCode());
}

}  // namespace tavrelsvc
