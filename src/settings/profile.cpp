#include "settings/profile.h"

#include <QSet>

#include <algorithm>

namespace torvika::profile {
namespace {

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

qsizetype bodyStart(QByteArrayView content) {
    return content.startsWith(Utf8Bom) ? 3 : 0;
}

// One line of the file: [begin, end) is its text, [end, next) its line end (empty on a last
// line without one).
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
    bool hasLineEnd() const { return next > end; }
};

class Lines {
public:
    explicit Lines(QByteArrayView content) : content_(content), pos_(bodyStart(content)) {}

    bool next(Line &line) {
        const qsizetype size = content_.size();
        if (pos_ >= size)
            return false;
        const char *data = content_.data();
        const char *found = std::find_if(data + pos_, data + size, isLineEnd);
        line.begin = pos_;
        line.end = found - data;
        line.next = line.end;
        if (line.next < size) {
            ++line.next;
            if (data[line.end] == '\r' && line.next < size && data[line.next] == '\n')
                ++line.next;
        }
        pos_ = line.next;
        return true;
    }

private:
    QByteArrayView content_;
    qsizetype pos_;
};

enum class Kind { Other, Comment, Header, Key };

struct Parsed {
    Kind kind = Kind::Other;
    QByteArrayView name;      // section or key name, trimmed
    qsizetype valueStart = 0; // key lines: first byte after '=' and the blanks that follow it
    QByteArrayView value;     // key lines: the raw value, trimmed
};

Parsed parse(QByteArrayView content, const Line &line) {
    Parsed parsed;
    const QByteArrayView text = content.sliced(line.begin, line.end - line.begin);
    qsizetype first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first == text.size())
        return parsed;
    if (text[first] == ';') {
        parsed.kind = Kind::Comment;
        return parsed;
    }
    if (text[first] == '[') {
        // Without a ']' the rest of the line names the section, as the platform reads it.
        const qsizetype close = text.indexOf(']', first + 1);
        parsed.kind = Kind::Header;
        parsed.name =
            trimmed(text.sliced(first + 1, (close >= 0 ? close : text.size()) - first - 1));
        return parsed;
    }
    const qsizetype equals = text.indexOf('=', first);
    if (equals < 0)
        return parsed;
    parsed.kind = Kind::Key;
    parsed.name = trimmed(text.sliced(first, equals - first));
    qsizetype valueStart = equals + 1;
    while (valueStart < text.size() && isBlank(text[valueStart]))
        ++valueStart;
    parsed.valueStart = line.begin + valueStart;
    parsed.value = trimmed(text.sliced(valueStart));
    return parsed;
}

// What a read returns for a raw value: one pair of matching quotes removed, then the cut.
QByteArray readValue(QByteArrayView raw) {
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
        raw = raw.sliced(1, raw.size() - 2);
    return raw.first(std::min<qsizetype>(raw.size(), MaxValueLength)).toByteArray();
}

// Where `key` of `section` is, or where it would go.
struct Place {
    bool sectionFound = false;
    qsizetype insertAt = 0;          // after the last key line of the section, or after its header
    bool insertNeedsLineEnd = false; // that line is the last one and has no line end
    bool keyFound = false;
    Line keyLine;
    Parsed key;
};

Place locate(QByteArrayView content, QByteArrayView section, QByteArrayView key) {
    Place place;
    Lines lines(content);
    Line line;
    while (lines.next(line)) {
        Parsed parsed = parse(content, line);
        if (parsed.kind == Kind::Header) {
            // Only the first section of that name counts.
            if (place.sectionFound)
                break;
            if (sameName(parsed.name, section)) {
                place.sectionFound = true;
                place.insertAt = line.next;
                place.insertNeedsLineEnd = !line.hasLineEnd();
            }
        } else if (parsed.kind == Kind::Key && place.sectionFound) {
            if (sameName(parsed.name, key)) {
                place.keyFound = true;
                place.keyLine = line;
                place.key = parsed;
                break;
            }
            place.insertAt = line.next;
            place.insertNeedsLineEnd = !line.hasLineEnd();
        }
    }
    return place;
}

QByteArrayView lineEndOf(QByteArrayView content) {
    const char *data = content.data();
    const char *found = std::find_if(data, data + content.size(), isLineEnd);
    if (found == data + content.size())
        return "\r\n";
    if (*found == '\n')
        return "\n";
    if (found + 1 < data + content.size() && found[1] == '\n')
        return "\r\n";
    return "\r";
}

} // namespace

int lineOf(QByteArrayView content, QByteArrayView section, QByteArrayView key) {
    const Place place = locate(content, section, key);
    if (!place.keyFound)
        return 0;
    Lines lines(content);
    Line line;
    int number = 0;
    while (lines.next(line)) {
        ++number;
        if (line.begin == place.keyLine.begin)
            break;
    }
    return number;
}

QByteArray readString(QByteArrayView content, QByteArrayView section, QByteArrayView key) {
    section = trimmed(section);
    key = trimmed(key);
    if (section.isEmpty() || key.isEmpty())
        return {};
    const Place place = locate(content, section, key);
    if (!place.keyFound)
        return {};
    return readValue(place.key.value);
}

QList<std::pair<QByteArray, QByteArray>> readSection(QByteArrayView content,
                                                     QByteArrayView section) {
    QList<std::pair<QByteArray, QByteArray>> keys;
    section = trimmed(section);
    if (section.isEmpty())
        return keys;
    QSet<QByteArray> seen;
    bool inSection = false;
    Lines lines(content);
    Line line;
    while (lines.next(line)) {
        const Parsed parsed = parse(content, line);
        if (parsed.kind == Kind::Header) {
            if (inSection)
                break;
            inSection = sameName(parsed.name, section);
        } else if (parsed.kind == Kind::Key && inSection && !parsed.name.isEmpty()) {
            const QByteArray folded = parsed.name.toByteArray().toLower();
            if (seen.contains(folded))
                continue;
            seen.insert(folded);
            keys.emplace_back(parsed.name.toByteArray(), readValue(parsed.value));
        }
    }
    return keys;
}

bool canWrite(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    section = trimmed(section);
    key = trimmed(key);
    const auto hasLineEnd = [](QByteArrayView text) {
        return std::any_of(text.begin(), text.end(), isLineEnd);
    };
    if (section.isEmpty() || key.isEmpty())
        return false;
    if (hasLineEnd(section) || hasLineEnd(key) || hasLineEnd(value))
        return false;
    if (section.contains(']') || key.contains('='))
        return false;
    return key.front() != ';' && key.front() != '[';
}

QByteArray writeString(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                       QByteArrayView value) {
    if (!canWrite(section, key, value))
        return content.toByteArray();
    section = trimmed(section);
    key = trimmed(key);
    const Place place = locate(content, section, key);
    QByteArray result;

    if (place.keyFound) {
        // A value that already reads the same keeps the user's quotes, blanks and layout.
        if (readValue(place.key.value) == value)
            return content.toByteArray();
        // The line keeps its indent, the key's spelling and the blanks around '='.
        const qsizetype cut = place.key.valueStart;
        const qsizetype resume = place.keyLine.end;
        result.reserve(content.size() - (resume - cut) + value.size() + 2);
        result.append(content.first(cut));
        result.append(value);
        result.append(content.sliced(resume));
        // A last line without a line end gets the file's, as the platform writes it.
        if (!place.keyLine.hasLineEnd())
            result.append(lineEndOf(content));
        return result;
    }

    const QByteArrayView lineEnd = lineEndOf(content);
    QByteArray keyLine;
    keyLine.reserve(key.size() + value.size() + 3);
    keyLine.append(key).append('=').append(value).append(lineEnd);

    if (place.sectionFound) {
        result.reserve(content.size() + keyLine.size() + 2);
        result.append(content.first(place.insertAt));
        if (place.insertNeedsLineEnd)
            result.append(lineEnd);
        result.append(keyLine);
        result.append(content.sliced(place.insertAt));
        return result;
    }

    result.reserve(content.size() + section.size() + keyLine.size() + 6);
    result.append(content);
    if (content.size() > bodyStart(content) && !isLineEnd(content.back()))
        result.append(lineEnd);
    result.append('[').append(section).append(']').append(lineEnd);
    result.append(keyLine);
    return result;
}

} // namespace torvika::profile
