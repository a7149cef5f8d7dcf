#include "platform/rtl/component_text.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

// Deeper nesting of objects and collections is refused, so that no text can
// exhaust the stack.
constexpr int kMaxDepth = 64;
// The writer only guards against sub-objects that own themselves; anything
// the reader accepts lies well within this.
constexpr int kMaxWriteDepth = 4 * kMaxDepth;

std::string TypeName(const TComponent& c) {
  const TClassInfo* info = c.ClassInfo();
  return info != nullptr ? info->name : c.ClassName();
}

std::string QuoteString(std::string_view s) {
  if (s.empty()) return "''";
  std::string out;
  bool quoted = false;
  for (const char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) {
      if (quoted) out += '\'';
      quoted = false;
      out += '#';
      out += std::to_string(c);
    } else {
      if (!quoted) out += '\'';
      quoted = true;
      out += ch;
      if (ch == '\'') out += '\'';
    }
  }
  if (quoted) out += '\'';
  return out;
}

class Writer {
 public:
  explicit Writer(TComponent& root) : root_(root) {}

  std::string Run() {
    WriteObject(root_, 0);
    return std::move(out_);
  }

 private:
  void Line(int indent, std::string_view text) {
    out_.append(static_cast<size_t>(indent) * 2, ' ');
    out_ += text;
    out_ += "\r\n";
  }

  static void CheckDepth(int depth) {
    if (depth > kMaxWriteDepth) throw EWriteError(msg::kNestingTooDeep);
  }

  void WriteObject(TComponent& c, int depth) {
    CheckDepth(depth);
    Line(depth, "object " + (c.Name().empty() ? "" : c.Name() + ": ") + TypeName(c));
    if (const TClassInfo* info = c.ClassInfo()) WriteProps(c, *info, "", depth + 1, depth);
    for (int i = 0; i < c.ComponentCount(); ++i) {
      TComponent* child = c.Components(i);
      if (!child->Name().empty() && child->ClassInfo() != nullptr) WriteObject(*child, depth + 1);
    }
    Line(depth, "end");
  }

  void WriteProps(const TPersistent& obj, const TClassInfo& info, const std::string& prefix, int indent,
                  int depth) {
    CheckDepth(depth);
    for (const TPropInfo* p : info.AllProps()) {
      const std::string name = prefix + p->name;
      switch (p->kind) {
        case pkInteger: {
          const int32_t v = static_cast<int32_t>(p->getOrd(&obj));
          const std::optional<std::string> ident = p->intToIdent != nullptr ? p->intToIdent(v) : std::nullopt;
          Line(indent, name + " = " + (ident ? *ident : std::to_string(v)));
          break;
        }
        case pkBool:
          Line(indent, name + (p->getOrd(&obj) != 0 ? " = True" : " = False"));
          break;
        case pkString:
          Line(indent, name + " = " + QuoteString(p->getStr(&obj)));
          break;
        case pkEnum: {
          const int64_t v = p->getOrd(&obj);
          const bool named = v >= 0 && v < static_cast<int64_t>(p->enumNames.size());
          Line(indent, name + " = " + (named ? std::string(p->enumNames[static_cast<size_t>(v)]) : std::to_string(v)));
          break;
        }
        case pkSet: {
          const uint64_t bits = static_cast<uint64_t>(p->getOrd(&obj));
          std::string text;
          for (size_t i = 0; i < p->enumNames.size() && i < 64; ++i) {
            if ((bits >> i & 1) == 0) continue;
            if (!text.empty()) text += ", ";
            text += p->enumNames[i];
          }
          Line(indent, name + " = [" + text + "]");
          break;
        }
        case pkObject:
          if (TPersistent* sub = p->getObject(&obj)) WriteSubObject(*sub, p->nested, name, indent, depth + 1);
          break;
        case pkComponent: {
          auto* target = dynamic_cast<TComponent*>(p->getObject(&obj));
          if (target == nullptr) {
            Line(indent, name + " = nil");
          } else if (std::optional<std::string> path = ReferencePath(*target)) {
            Line(indent, name + " = " + *path);
          }
          break;
        }
      }
    }
  }

  void WriteSubObject(TPersistent& sub, const TClassInfo* nested, const std::string& name, int indent, int depth) {
    if (auto* strings = dynamic_cast<TStrings*>(&sub)) {
      const int n = strings->Count();
      if (n == 0) {
        Line(indent, name + ".Strings = ()");
        return;
      }
      Line(indent, name + ".Strings = (");
      for (int i = 0; i < n; ++i) Line(indent + 1, QuoteString(strings->Get(i)) + (i == n - 1 ? ")" : ""));
    } else if (auto* collection = dynamic_cast<TCollection*>(&sub)) {
      const int n = collection->Count();
      if (n == 0) {
        Line(indent, name + " = <>");
        return;
      }
      Line(indent, name + " = <");
      for (int i = 0; i < n; ++i) {
        TCollectionItem* item = collection->Items(i);
        Line(indent + 1, "item");
        if (const TClassInfo* info = item->ClassInfo()) WriteProps(*item, *info, "", indent + 2, depth + 1);
        Line(indent + 1, i == n - 1 ? "end>" : "end");
      }
    } else if (const TClassInfo* info = sub.ClassInfo() != nullptr ? sub.ClassInfo() : nested) {
      WriteProps(sub, *info, name + ".", indent, depth);
    }
  }

  // The names from below the root down to target; the root's own name alone
  // for the root, and in front of a path that starts with the same name.
  // None when target lies outside the tree or a component on the way has no
  // name.
  std::optional<std::string> ReferencePath(const TComponent& target) const {
    const std::string& rootName = root_.Name();
    if (&target == &root_) return rootName.empty() ? std::nullopt : std::optional<std::string>(rootName);
    std::string path;
    const TComponent* first = nullptr;
    for (const TComponent* c = &target; c != &root_; c = c->Owner()) {
      if (c == nullptr || c->Name().empty()) return std::nullopt;
      path = path.empty() ? c->Name() : c->Name() + "." + path;
      first = c;
    }
    if (!rootName.empty() && AnsiSameText(first->Name(), rootName)) path = rootName + "." + path;
    return path;
  }

  TComponent& root_;
  std::string out_;
};

enum class Tok { End, Ident, Integer, String, Symbol };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // identifier or string bytes
  int64_t number = 0;
  bool overflow = false;
  char symbol = 0;
  int line = 1;

  bool Is(std::string_view word) const { return kind == Tok::Ident && AnsiSameText(text, word); }
  bool Is(char c) const { return kind == Tok::Symbol && symbol == c; }
};

// An error found in the text itself, carried to the line-naming EReadError.
struct ParseFailure {
  std::string message;
  int line;
};

bool IdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IdentChar(char c) { return IdentStart(c) || (c >= '0' && c <= '9'); }
bool Digit(char c) { return c >= '0' && c <= '9'; }

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  const Token& Peek() {
    if (!peeked_) {
      next_ = Scan();
      peeked_ = true;
    }
    return next_;
  }

  Token Next() {
    Peek();
    peeked_ = false;
    line_ = next_.line;
    return std::move(next_);
  }

  // The line of the last token taken.
  int Line() const { return line_; }

 private:
  // The byte at i, or NUL past the end (a NUL in the text is never valid
  // outside quotes, so it cannot be mistaken for anything).
  char At(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
  bool AtEnd() const { return pos_ >= text_.size(); }

  [[noreturn]] void Fail(std::string message) const { throw ParseFailure{std::move(message), scanLine_}; }

  void SkipSpace() {
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '\n' || (c == '\r' && At(pos_ + 1) != '\n')) {
        ++scanLine_;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
      ++pos_;
    }
  }

  Token Scan() {
    SkipSpace();
    Token t;
    t.line = scanLine_;
    if (AtEnd()) return t;
    const char c = text_[pos_];
    if (IdentStart(c)) {
      t.kind = Tok::Ident;
      const size_t start = pos_;
      while (IdentChar(At(pos_)) || (At(pos_) == '.' && IdentStart(At(pos_ + 1)))) ++pos_;
      t.text = std::string(text_.substr(start, pos_ - start));
    } else if (Digit(c) || (c == '-' && Digit(At(pos_ + 1)))) {
      t.kind = Tok::Integer;
      const bool negative = c == '-';
      if (negative) ++pos_;
      while (Digit(At(pos_))) {
        t.number = t.number * 10 + (text_[pos_++] - '0');
        if (t.number > INT64_C(1) << 40) {
          t.overflow = true;
          t.number = 0;
        }
      }
      if (negative) t.number = -t.number;
    } else if (c == '\'' || c == '#') {
      t.kind = Tok::String;
      ScanString(t.text);
    } else if (std::string_view("=()<>[],:").find(c) != std::string_view::npos) {
      t.kind = Tok::Symbol;
      t.symbol = c;
      ++pos_;
    } else {
      Fail(Format(msg::kInvalidCharacter, {static_cast<int>(static_cast<unsigned char>(c))}));
    }
    return t;
  }

  // Quoted parts and #nn bytes, written together without spaces.
  void ScanString(std::string& out) {
    for (;;) {
      const char c = At(pos_);
      if (c == '\'') {
        ++pos_;
        for (;;) {
          if (AtEnd() || text_[pos_] == '\r' || text_[pos_] == '\n') Fail(msg::kInvalidString);
          const char b = text_[pos_++];
          if (b != '\'') {
            out += b;
          } else if (At(pos_) == '\'') {
            out += '\'';
            ++pos_;
          } else {
            break;
          }
        }
      } else if (c == '#') {
        ++pos_;
        if (!Digit(At(pos_))) Fail(msg::kInvalidString);
        int value = 0;
        while (Digit(At(pos_))) {
          value = value * 10 + (text_[pos_++] - '0');
          if (value > 255) Fail(msg::kInvalidString);
        }
        out += static_cast<char>(value);
      } else {
        return;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  int scanLine_ = 1;
  int line_ = 1;
  Token next_;
  bool peeked_ = false;
};

}  // namespace

class TComponentTextReader {
 public:
  TComponentTextReader(std::string_view text, const TClassRegistry& registry) : lexer_(text), registry_(registry) {}

  TComponent* Read(TComponent& rootOrOwner) {
    try {
      TComponent* root = ReadTop(rootOrOwner);
      ResolveReferences();
      for (TComponent* c : loaded_) c->Loaded();
      return root;
    } catch (const ParseFailure& failure) {
      Undo();
      throw EReadError(Format(msg::kParseError, {failure.message, failure.line}));
    } catch (const Exception& e) {
      Undo();
      throw EReadError(Format(msg::kParseError, {e.Message(), lexer_.Line()}));
    } catch (...) {
      Undo();
      throw;
    }
  }

 private:
  // A component reference, set once the whole tree is read. Fixups inside a
  // collection die with its items when the collection is read again.
  struct Fixup {
    TObject* target;
    const TPropInfo* prop;
    std::string path;
    int line;
    std::vector<TCollection*> collections;
  };

  [[noreturn]] void Fail(std::string message) const { throw ParseFailure{std::move(message), lexer_.Line()}; }

  Token Expect(char symbol) {
    Token t = lexer_.Next();
    if (!t.Is(symbol)) Fail(Format(msg::kCharExpected, {std::string(1, symbol)}));
    return t;
  }

  std::string ExpectIdent() {
    Token t = lexer_.Next();
    if (t.kind != Tok::Ident) Fail(msg::kIdentExpected);
    return std::move(t.text);
  }

  // "object [Name:] Class", after the word object.
  std::pair<std::string, std::string> ReadHeader() {
    std::string first = ExpectIdent();
    if (!lexer_.Peek().Is(':')) return {std::string(), std::move(first)};
    lexer_.Next();
    return {std::move(first), ExpectIdent()};
  }

  TComponent* ReadTop(TComponent& rootOrOwner) {
    if (!lexer_.Next().Is("object")) Fail(Format(msg::kCharExpected, {"object"}));
    auto [name, className] = ReadHeader();
    TComponent* root = &rootOrOwner;
    if (!AnsiSameText(TypeName(rootOrOwner), className)) root = Create(className, &rootOrOwner);
    if (!name.empty()) root->SetName(name);
    root_ = root;
    ReadBody(*root, 0);
    if (lexer_.Next().kind != Tok::End) Fail(msg::kEndOfTextExpected);
    return root;
  }

  TComponent* Create(const std::string& className, TComponent* owner) {
    const TClassInfo* info = registry_.Find(className);
    if (info == nullptr || info->create == nullptr) Fail(Format(msg::kClassNotFound, {className}));
    TComponent* c = info->create(owner);
    if (c == nullptr) Fail(Format(msg::kClassNotFound, {className}));
    created_.push_back(c);
    return c;
  }

  void ReadBody(TComponent& c, int depth) {
    if (loadedSet_.insert(&c).second) loaded_.push_back(&c);
    c.state_ |= csLoading | csReading;
    for (;;) {
      const Token& t = lexer_.Peek();
      if (t.Is("end")) break;
      if (t.kind == Tok::End) {
        lexer_.Next();
        Fail(Format(msg::kCharExpected, {"end"}));
      }
      if (t.Is("object")) {
        lexer_.Next();
        ReadChild(c, depth + 1);
      } else {
        ReadAssignment(c, ExpectIdent(), depth);
      }
    }
    lexer_.Next();
    c.state_ &= ~csReading;
  }

  void ReadChild(TComponent& parent, int depth) {
    if (depth > kMaxDepth) Fail(msg::kNestingTooDeep);
    auto [name, className] = ReadHeader();
    TComponent* existing = parent.FindComponent(name);
    TComponent* child = existing;
    if (existing == nullptr || !AnsiSameText(TypeName(*existing), className)) {
      child = Create(className, &parent);
      child->SetName(name);
    }
    ReadBody(*child, depth);
  }

  // "Path = value": path names a property, a property of an owned
  // sub-object (Font.Name), or the lines of a string list (Lines.Strings).
  void ReadAssignment(TPersistent& target, const std::string& path, int depth) {
    Expect('=');
    TPersistent* obj = &target;
    const TClassInfo* info = obj->ClassInfo();
    size_t start = 0;
    for (;;) {
      const size_t dot = path.find('.', start);
      const std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
      const bool last = dot == std::string::npos;
      if (last && AnsiSameText(part, "Strings")) {
        if (auto* strings = dynamic_cast<TStrings*>(obj)) {
          ReadStrings(*strings);
          return;
        }
      }
      const TPropInfo* prop = info != nullptr ? info->FindProp(part) : nullptr;
      if (prop == nullptr) Fail(Format(msg::kUnknownProperty, {path}));
      if (last) {
        ReadValue(*obj, *prop, depth);
        return;
      }
      TPersistent* sub = prop->kind == pkObject ? prop->getObject(obj) : nullptr;
      if (sub == nullptr) Fail(Format(msg::kUnknownProperty, {path}));
      obj = sub;
      info = sub->ClassInfo() != nullptr ? sub->ClassInfo() : prop->nested;
      start = dot + 1;
    }
  }

  void ReadValue(TPersistent& obj, const TPropInfo& prop, int depth) {
    Token t = lexer_.Next();
    switch (prop.kind) {
      case pkInteger:
        if (t.kind == Tok::Ident && prop.identToInt != nullptr) {
          const std::optional<int32_t> v = prop.identToInt(t.text);
          if (!v) break;
          prop.setOrd(&obj, *v);
          return;
        }
        if (t.kind != Tok::Integer || t.overflow || t.number < INT32_MIN || t.number > INT32_MAX) break;
        prop.setOrd(&obj, t.number);
        return;
      case pkBool:
        if (!t.Is("True") && !t.Is("False")) break;
        prop.setOrd(&obj, t.Is("True") ? 1 : 0);
        return;
      case pkString:
        if (t.kind != Tok::String) break;
        prop.setStr(&obj, t.text);
        return;
      case pkEnum:
        if (t.kind != Tok::Ident) break;
        for (size_t i = 0; i < prop.enumNames.size(); ++i) {
          if (AnsiSameText(prop.enumNames[i], t.text)) {
            prop.setOrd(&obj, static_cast<int64_t>(i));
            return;
          }
        }
        break;
      case pkSet:
        if (!t.Is('[')) break;
        prop.setOrd(&obj, static_cast<int64_t>(ReadSetBits(prop)));
        return;
      case pkComponent:
        if (t.kind != Tok::Ident) break;
        if (AnsiSameText(t.text, "nil"))
          prop.setComponent(&obj, nullptr);
        else
          fixups_.push_back(Fixup{&obj, &prop, t.text, t.line, collections_});
        return;
      case pkObject:
        if (auto* collection = dynamic_cast<TCollection*>(prop.getObject(&obj)); collection && t.Is('<')) {
          ReadCollection(*collection, depth + 1);
          return;
        }
        break;
    }
    Fail(msg::kInvalidPropertyValue);
  }

  // After "[": names up to "]".
  uint64_t ReadSetBits(const TPropInfo& prop) {
    uint64_t bits = 0;
    if (lexer_.Peek().Is(']')) {
      lexer_.Next();
      return bits;
    }
    for (;;) {
      const std::string name = ExpectIdent();
      auto it = std::find_if(prop.enumNames.begin(), prop.enumNames.end(),
                             [&](const char* n) { return AnsiSameText(n, name); });
      const size_t bit = static_cast<size_t>(it - prop.enumNames.begin());
      if (it == prop.enumNames.end() || bit >= 64) Fail(msg::kInvalidPropertyValue);
      bits |= uint64_t{1} << bit;
      const Token t = lexer_.Next();
      if (t.Is(']')) return bits;
      if (!t.Is(',')) Fail(Format(msg::kCharExpected, {"]"}));
    }
  }

  void ReadStrings(TStrings& strings) {
    Expect('(');
    TUpdateBracket update(strings);
    strings.Clear();
    for (;;) {
      Token t = lexer_.Next();
      if (t.Is(')')) return;
      if (t.kind != Tok::String) Fail(Format(msg::kCharExpected, {")"}));
      strings.Add(t.text);
    }
  }

  // After "<": items up to ">".
  void ReadCollection(TCollection& collection, int depth) {
    if (depth > kMaxDepth) Fail(msg::kNestingTooDeep);
    std::erase_if(fixups_, [&](const Fixup& f) {
      return std::find(f.collections.begin(), f.collections.end(), &collection) != f.collections.end();
    });
    TUpdateBracket update(collection);
    collection.Clear();
    collections_.push_back(&collection);
    ScopeGuard pop([&] { collections_.pop_back(); });
    for (;;) {
      const Token t = lexer_.Next();
      if (t.Is('>')) return;
      if (!t.Is("item")) Fail(Format(msg::kCharExpected, {">"}));
      TCollectionItem* item = collection.Add();
      for (;;) {
        const Token& next = lexer_.Peek();
        if (next.Is("end")) break;
        if (next.kind == Tok::End) {
          lexer_.Next();
          Fail(Format(msg::kCharExpected, {"end"}));
        }
        ReadAssignment(*item, ExpectIdent(), depth);
      }
      lexer_.Next();
    }
  }

  // A path's first name is the root when it is the root's name, else a
  // component owned by the root; the writer keeps the two apart.
  TComponent* FindByPath(const std::string& path) const {
    TComponent* c = root_;
    size_t start = 0;
    const size_t firstDot = path.find('.');
    if (!root_->Name().empty() && AnsiSameText(path.substr(0, firstDot), root_->Name())) {
      if (firstDot == std::string::npos) return root_;
      start = firstDot + 1;
    }
    for (;;) {
      const size_t dot = path.find('.', start);
      const std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
      c = c->FindComponent(part);
      if (c == nullptr || dot == std::string::npos) return c;
      start = dot + 1;
    }
  }

  void ResolveReferences() {
    for (const Fixup& f : fixups_) {
      TComponent* c = FindByPath(f.path);
      if (c == nullptr) throw ParseFailure{Format(msg::kComponentNotFound, {f.path}), f.line};
      const TClassInfo* info = c->ClassInfo();
      if (f.prop->nested != nullptr && (info == nullptr || !info->InheritsFrom(f.prop->nested)))
        throw ParseFailure{msg::kInvalidPropertyValue, f.line};
      f.prop->setComponent(f.target, c);
    }
  }

  // After a failure: the components that existed before leave the loading
  // state keeping what was read; those created by this read are destroyed,
  // the latest first, so children go before their owners.
  void Undo() {
    const std::unordered_set<TComponent*> created(created_.begin(), created_.end());
    for (TComponent* c : loaded_)
      if (created.count(c) == 0) c->state_ &= ~(csLoading | csReading);
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) delete *it;
    created_.clear();
  }

  Lexer lexer_;
  const TClassRegistry& registry_;
  TComponent* root_ = nullptr;
  std::vector<TComponent*> created_;
  std::vector<TComponent*> loaded_;
  std::unordered_set<TComponent*> loadedSet_;
  std::vector<Fixup> fixups_;
  std::vector<TCollection*> collections_;
};

std::string WriteComponentText(TComponent& root) { return Writer(root).Run(); }

TComponent* ReadComponentText(std::string_view text, TComponent& rootOrOwner, const TClassRegistry& registry) {
  return TComponentTextReader(text, registry).Read(rootOrOwner);
}

}  // namespace corvida
