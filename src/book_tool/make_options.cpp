#include "book_tool/make_options.h"

#include <cctype>
#include <charconv>
#include <functional>
#include <map>

namespace {

std::optional<int> ParseCount(const std::string& text, int lo, int hi) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || at != end || value < lo || value > hi)
        return std::nullopt;
    return value;
}

// Walks options and operands, handing each option its value when it takes one.
class ArgWalker {
public:
    explicit ArgWalker(const std::vector<std::string>& args) : m_args(args) {}

    using Flag = std::function<void()>;
    using Valued = std::function<std::optional<std::string>(const std::string&)>;
    void On(const std::string& name, Flag fn) { m_flags[name] = std::move(fn); }
    void On(const std::string& name, Valued fn) { m_valued[name] = std::move(fn); }
    void Number(const std::string& name, int lo, int hi, std::function<void(int)> set) {
        On(name, Valued([=](const std::string& v) -> std::optional<std::string> {
               std::optional<int> n = ParseCount(v, lo, hi);
               if (!n)
                   return name + " takes a number from " + std::to_string(lo) + " to " +
                          std::to_string(hi) + ", not \"" + v + "\"";
               set(*n);
               return std::nullopt;
           }));
    }

    // The operands, or the message for the first wrong argument.
    std::optional<std::string> Walk(std::vector<std::string>& operands) const {
        for (std::size_t i = 0; i < m_args.size(); ++i) {
            const std::string& arg = m_args[i];
            if (arg.size() < 2 || arg.rfind("--", 0) != 0) {
                operands.push_back(arg);
            } else if (auto f = m_flags.find(arg); f != m_flags.end()) {
                f->second();
            } else if (auto v = m_valued.find(arg); v != m_valued.end()) {
                if (i + 1 == m_args.size())
                    return arg + " needs a value";
                if (std::optional<std::string> wrong = v->second(m_args[++i]))
                    return wrong;
            } else {
                return "unknown option " + arg;
            }
        }
        return std::nullopt;
    }

private:
    const std::vector<std::string>& m_args;
    std::map<std::string, Flag> m_flags;
    std::map<std::string, Valued> m_valued;
};

ArgWalker::Valued Text(std::optional<std::string>& into) {
    return [&into](const std::string& v) -> std::optional<std::string> {
        into = v;
        return std::nullopt;
    };
}

void AddCleanUpOptions(ArgWalker& walker, bool& clean, LineArtOptions& lineArt, bool& tuned) {
    walker.On("--clean", ArgWalker::Flag([&clean] { clean = true; }));
    walker.On("--no-clean", ArgWalker::Flag([&clean] { clean = false; }));
    walker.Number("--speck", 0, kMaxSpeck, [&](int n) {
        lineArt.speck = n;
        tuned = true;
    });
    walker.Number("--gap", 0, kMaxGap, [&](int n) {
        lineArt.gap = n;
        tuned = true;
    });
}

} // namespace

std::optional<ColorRef> ParseRgbHex(const std::string& text) {
    std::string digits = text.rfind('#', 0) == 0 ? text.substr(1) : text;
    unsigned rgb = 0;
    auto [at, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), rgb, 16);
    if (digits.size() != 6 || ec != std::errc() || at != digits.data() + digits.size())
        return std::nullopt;
    return PixelToColorRef(rgb);
}

std::optional<std::string> ParseMakeArgs(const std::vector<std::string>& args, MakeOptions& make) {
    ArgWalker walker(args);
    bool tuned = false;
    walker.On("--title", Text(make.title));
    walker.On("--copy-dir", Text(make.copyDir));
    walker.On("--col-path", Text(make.colPath));
    walker.On("--force", ArgWalker::Flag([&] { make.force = true; }));
    AddCleanUpOptions(walker, make.clean, make.lineArt, tuned);
    walker.On("--back-color", ArgWalker::Valued([&](const std::string& v) {
                  make.backColor = ParseRgbHex(v);
                  return make.backColor ? std::nullopt
                                        : std::optional<std::string>(
                                              "--back-color takes six hexadecimal digits "
                                              "RRGGBB, not \"" +
                                              v + "\"");
              }));
    walker.Number("--seconds", 1, 60, [&](int n) { make.seconds = n; });
    walker.Number("--start-page", 1, 99, [&](int n) { make.startPage = n; });
    walker.Number("--end-page", 1, 99, [&](int n) { make.endPage = n; });
    walker.On("--sound", ArgWalker::Flag([&] { make.sound = true; }));
    walker.On("--no-sound", ArgWalker::Flag([&] { make.sound = false; }));
    walker.On("--loop", ArgWalker::Flag([&] { make.loop = true; }));
    walker.On("--no-loop", ArgWalker::Flag([&] { make.loop = false; }));
    walker.On("--advance", ArgWalker::Valued([&](const std::string& v) {
                  if (v != "seconds" && v != "sound")
                      return std::optional<std::string>("--advance takes \"seconds\" or "
                                                        "\"sound\", not \"" +
                                                        v + "\"");
                  make.goBySeconds = v == "seconds";
                  return std::optional<std::string>();
              }));
    std::vector<std::string> operands;
    if (std::optional<std::string> wrong = walker.Walk(operands))
        return wrong;
    if (operands.size() != 2)
        return std::string("make takes a FOLDER and a VOLUME");
    if (tuned && !make.clean)
        return std::string("--speck and --gap tune the clean-up, which --no-clean turns off");
    if (make.startPage && make.endPage && *make.startPage > *make.endPage)
        return std::string("--start-page is after --end-page");
    make.folder = operands[0];
    make.volume = operands[1];
    return std::nullopt;
}

std::optional<std::string> ParseConvertArgs(const std::vector<std::string>& args,
                                            ConvertArgs& convert) {
    ArgWalker walker(args);
    bool tuned = false;
    AddCleanUpOptions(walker, convert.options.clean, convert.options.lineArt, tuned);
    std::vector<std::string> operands;
    if (std::optional<std::string> wrong = walker.Walk(operands))
        return wrong;
    if (operands.size() != 2)
        return std::string("convert takes a PICTURE and a PAGE");
    if (tuned && !convert.options.clean)
        return std::string("--speck and --gap tune the clean-up, which only --clean turns on");
    convert.in = operands[0];
    convert.out = operands[1];
    return std::nullopt;
}
