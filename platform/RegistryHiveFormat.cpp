// The hive file, readable and editable by hand:
//
//   ; comment
//   [HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\SorvexTavrelService\Preferences]
//   "BaseUrl"=sz:"http://sorvex.example/cgi/"
//   "TimeOut"=dword:00000e10
//   "Paths"=multi_sz:"a","b"
//   @=expand_sz:"%HOME%/qpl"
//   "Blob"=hex:01,ff
//   "Odd"=hex(1):41,42
//
// Every key has its own header line (empty keys too), parents before children.
// A value line names the value ("@" for the default value) and its data:
// sz / expand_sz hold a text whose stored bytes end with one NUL, multi_sz a
// list of texts (stored joined by NULs and ended by two NULs), dword a 32-bit
// number in hexadecimal, hex the bytes of REG_BINARY and hex(N) the bytes of
// any value that fits none of these forms. In quoted texts \\ \" and \xHH are
// escapes; other bytes stand for themselves, so the file round-trips exactly.
#include "platform/RegistryHive.h"

#include <QtEndian>

#include <utility>
#include <vector>

namespace platform {

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

int utf8SequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    return bytes.sliced(at, length).isValidUtf8() ? length : 0;
}

QByteArray quoted(QByteArrayView bytes) {
    QByteArray out("\"");
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\\' || b == '"') {
            out += '\\';
            out += char(b);
        } else if (b >= 0x80) {
            const int length = utf8SequenceLength(bytes, i);
            if (length > 0) {
                out += bytes.sliced(i, length);
                i += length - 1;
            } else {
                out += "\\x" + QByteArray::number(b, 16).rightJustified(2, '0');
            }
        } else if (b < 0x20 || b == 0x7F) {
            out += "\\x" + QByteArray::number(b, 16).rightJustified(2, '0');
        } else {
            out += char(b);
        }
    }
    return out + '"';
}

QByteArray hexList(const QByteArray& data) { return data.toHex(','); }

QByteArray valueData(const HiveValue& v) {
    const QByteArray& d = v.data;
    const bool endsWithNul = d.endsWith('\0');
    if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && endsWithNul)
        return (v.type == REG_SZ ? "sz:" : "expand_sz:") + quoted(QByteArrayView(d).chopped(1));
    if (v.type == REG_MULTI_SZ && d.endsWith(QByteArrayView("\0\0", 2))) {
        QByteArray out("multi_sz:");
        const QList<QByteArray> parts = d.chopped(2).split('\0');
        for (qsizetype i = 0; i < parts.size(); ++i) out += (i ? "," : "") + quoted(parts[i]);
        return out;
    }
    if (v.type == REG_DWORD && d.size() == 4)
        return "dword:" + QByteArray::number(qFromLittleEndian<quint32>(d.constData()), 16).rightJustified(8, '0');
    if (v.type == REG_BINARY) return "hex:" + hexList(d);
    return "hex(" + QByteArray::number(v.type) + "):" + hexList(d);
}

// Parents before children, in creation order; a list of keys still to write
// rather than a call per level, so no nesting can exhaust the stack.
void writeKey(const HiveKey& root, QByteArray& out) {
    std::vector<std::pair<const HiveKey*, QString>> pending{{&root, root.name}};
    while (!pending.empty()) {
        const auto [key, path] = std::move(pending.back());
        pending.pop_back();
        out += '[' + path.toUtf8() + "]\n";
        for (const HiveValue& v : key->values)
            out += (v.name.isEmpty() ? QByteArray("@") : quoted(v.name.toUtf8())) + '=' + valueData(v) + '\n';
        out += '\n';
        for (auto sub = key->subkeys.rbegin(); sub != key->subkeys.rend(); ++sub)
            pending.emplace_back(&*sub, path + u'\\' + sub->name);
    }
}

// Reads one quoted text at pos; pos ends after the closing quote.
bool readQuoted(const QByteArray& line, qsizetype& pos, QByteArray& out, QString& why) {
    if (pos >= line.size() || line[pos] != '"') return why = QStringLiteral("a quoted text is expected"), false;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') return ++pos, true;
        if (c != '\\') { out += c; continue; }
        if (++pos >= line.size()) break;
        if (line[pos] == '\\' || line[pos] == '"') {
            out += line[pos];
        } else if (line[pos] == 'x' && pos + 2 < line.size()) {
            bool ok = false;
            const int b = line.mid(pos + 1, 2).toInt(&ok, 16);
            if (!ok) return why = QStringLiteral("bad \\x escape"), false;
            out += char(b);
            pos += 2;
        } else {
            return why = QStringLiteral("unknown escape"), false;
        }
    }
    return why = QStringLiteral("unterminated quoted text"), false;
}

bool readHex(QByteArrayView text, QByteArray& out) {
    if (text.isEmpty()) return true;
    for (const QByteArray& piece : text.toByteArray().split(',')) {
        bool ok = false;
        const uint b = piece.trimmed().toUInt(&ok, 16);
        if (!ok || b > 0xFF || piece.trimmed().size() != 2) return false;
        out += char(b);
    }
    return true;
}

bool readValue(const QByteArray& line, HiveValue& v, QString& why) {
    qsizetype pos = 0;
    if (line.startsWith('@')) {
        pos = 1;
    } else {
        QByteArray name;
        if (!readQuoted(line, pos, name, why)) return false;
        v.name = QString::fromUtf8(name);
        if (v.name.isEmpty()) return why = QStringLiteral("an empty value name is written @"), false;
    }
    if (pos >= line.size() || line[pos] != '=') return why = QStringLiteral("\"=\" is expected"), false;
    const qsizetype colon = line.indexOf(':', pos);
    if (colon < 0) return why = QStringLiteral("a type and \":\" are expected"), false;
    const QByteArray tag = line.mid(pos + 1, colon - pos - 1);
    pos = colon + 1;
    if (tag == "sz" || tag == "expand_sz") {
        v.type = tag == "sz" ? REG_SZ : REG_EXPAND_SZ;
        if (!readQuoted(line, pos, v.data, why)) return false;
        v.data += '\0';
    } else if (tag == "multi_sz") {
        v.type = REG_MULTI_SZ;
        for (bool first = true; first || (pos < line.size() && line[pos] == ','); first = false) {
            if (!first) { ++pos; v.data += '\0'; }
            if (!readQuoted(line, pos, v.data, why)) return false;
        }
        v.data += QByteArray(2, '\0');
    } else if (tag == "dword") {
        bool ok = false;
        const QByteArray digits = line.mid(pos);
        const quint32 n = digits.toUInt(&ok, 16);
        if (!ok || digits.size() != 8) return why = QStringLiteral("dword needs 8 hexadecimal digits"), false;
        v.type = REG_DWORD;
        v.data.resize(4);
        qToLittleEndian(n, v.data.data());
        pos = line.size();
    } else {
        bool ok = tag == "hex";
        v.type = REG_BINARY;
        if (tag.startsWith("hex(") && tag.endsWith(')')) v.type = tag.mid(4, tag.size() - 5).toUInt(&ok);
        if (!ok) return why = QStringLiteral("unknown value type"), false;
        if (!readHex(QByteArrayView(line).sliced(pos), v.data)) return why = QStringLiteral("bad hexadecimal bytes"), false;
        pos = line.size();
    }
    if (pos != line.size()) return why = QStringLiteral("unexpected text after the value"), false;
    return true;
}

}  // namespace

HiveKey* HiveKey::child(const QString& childName) {
    for (HiveKey& k : subkeys)
        if (sameName(k.name, childName)) return &k;
    return nullptr;
}

const HiveKey* HiveKey::child(const QString& childName) const { return const_cast<HiveKey*>(this)->child(childName); }

HiveKey& HiveKey::childOrNew(const QString& childName) {
    if (HiveKey* k = child(childName)) return *k;
    subkeys.push_back(HiveKey{childName, {}, {}});
    return subkeys.back();
}

bool HiveKey::removeChild(const QString& childName) {
    for (auto it = subkeys.begin(); it != subkeys.end(); ++it)
        if (sameName(it->name, childName)) return subkeys.erase(it), true;
    return false;
}

HiveValue* HiveKey::value(const QString& valueName) {
    for (HiveValue& v : values)
        if (sameName(v.name, valueName)) return &v;
    return nullptr;
}

const HiveValue* HiveKey::value(const QString& valueName) const { return const_cast<HiveKey*>(this)->value(valueName); }

bool HiveKey::removeValue(const QString& valueName) {
    for (qsizetype i = 0; i < values.size(); ++i)
        if (sameName(values[i].name, valueName)) return values.removeAt(i), true;
    return false;
}

HiveKey* HiveKey::find(const QStringList& path) {
    HiveKey* k = this;
    for (const QString& name : path)
        if (!(k = k->child(name))) return nullptr;
    return k;
}

QByteArray serializeHive(const HiveKey& top) {
    QByteArray out("; Tavrel registry hive, UTF-8. Change it by hand only while no Tavrel program runs.\n\n");
    for (const HiveKey& root : top.subkeys) writeKey(root, out);
    return out;
}

bool parseHive(const QByteArray& text, HiveKey& top, QString* error) {
    top = HiveKey{};
    HiveKey* current = nullptr;
    int lineNumber = 0;
    for (QByteArray line : text.split('\n')) {
        ++lineNumber;
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(';')) continue;
        QString why;
        if (line.startsWith('[') && line.endsWith(']')) {
            const QStringList path = QString::fromUtf8(line.mid(1, line.size() - 2)).split(u'\\');
            current = &top;
            if (path.size() > kMaxHiveDepth) {
                why = QStringLiteral("keys nested deeper than %1 levels").arg(kMaxHiveDepth);
            } else {
                for (const QString& name : path) {
                    if (name.isEmpty()) { why = QStringLiteral("empty key name"); break; }
                    current = &current->childOrNew(name);
                }
            }
        } else if (!current) {
            why = QStringLiteral("a value before the first key");
        } else {
            HiveValue v;
            if (readValue(line, v, why)) {
                if (current->value(v.name)) why = QStringLiteral("value named twice");
                else current->values.append(v);
            }
        }
        if (!why.isEmpty()) {
            if (error) *error = QStringLiteral("line %1: %2: %3").arg(lineNumber).arg(why, QString::fromUtf8(line.left(120)));
            return false;
        }
    }
    return true;
}

}  // namespace platform
