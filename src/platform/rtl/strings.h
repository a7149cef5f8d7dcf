#pragma once
// TStrings, the abstract list of byte strings with update counting and text
// conversion, and TStringList, its plain in-memory form.
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/object.h"

namespace corvida {

class TStream;

class TStrings : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TStrings)

  virtual std::string Get(int index) const = 0;
  virtual int GetCount() const = 0;
  virtual void Put(int index, const std::string& s);
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int Add(const std::string& s);
  virtual void Exchange(int index1, int index2);
  virtual int IndexOf(std::string_view s) const;
  virtual int GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(int) {}

  // The lines joined, each followed by CR LF.
  virtual std::string GetTextStr() const;
  // Replaces the lines by those of text, split at CR, LF and CR LF; a final
  // line break adds no empty line.
  virtual void SetTextStr(std::string_view text);

  int Count() const { return GetCount(); }
  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& s) { Put(index, s); }
  std::string Text() const { return GetTextStr(); }
  void SetText(std::string_view text) { SetTextStr(text); }

  // Nested brackets; only the outermost pair calls SetUpdateState.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  virtual void AddStrings(const TStrings& strings);
  // Appends the lines of text (split as SetTextStr splits) at the end as
  // one change; here each through Add, inside one update bracket.
  virtual void AddText(std::string_view text);
  void Assign(const TPersistent* source) override;
  bool Equals(const TStrings& other) const;
  void Move(int curIndex, int newIndex);

  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

 protected:
  virtual void SetUpdateState(bool updating) {}

 private:
  int updateCount_ = 0;
};

// Splits text into lines at CR, LF and CR LF; a final break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
 public:
  CORVIDA_CLASS_NAME(TStringList)
  TStringList() = default;
  ~TStringList() override;

  std::string Get(int index) const override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  void Put(int index, const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::string& s) override;
  void Exchange(int index1, int index2) override;
  int IndexOf(std::string_view s) const override;
  int GetCapacity() const override { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity) override;

  // Binary search of a sorted list; index is where s is or would go.
  bool Find(std::string_view s, int& index) const;
  void Sort();

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates d) { duplicates_ = d; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  TNotifyEvent OnChanging() const { return onChanging_; }
  void SetOnChanging(TNotifyEvent e) { onChanging_ = e; }

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::string_view a, std::string_view b) const;

 private:
  void Check(int index) const;
  void InsertItem(int index, const std::string& s);

  std::vector<std::string> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool updating_ = false;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
};

}  // namespace corvida
