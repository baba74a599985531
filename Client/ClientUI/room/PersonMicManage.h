// The viewers of the user's own private mic, in order of arrival.
#pragma once

#include <QDateTime>
#include <cstdint>
#include <string>
#include <vector>

struct TPrivateMicViewer {
    std::int32_t UserID = 0;
    std::string NickName;  // GBK, at most 31 bytes
    std::int16_t Level = 0;
    std::int16_t Second = 0;  // passed on by the engine, never shown
    QDateTime ConnectedAt;    // local time when the viewer was added
};

class TPersonMicManage {
  public:
    // Keeps a copy (nickname cut to 31 bytes); nothing when the user is
    // already listed.
    void AddViewer(const TPrivateMicViewer& viewer);
    void RemoveViewer(std::int32_t user);
    int Count() const { return static_cast<int>(viewers_.size()); }
    const TPrivateMicViewer& Item(int index) const { return viewers_.at(index); }
    const TPrivateMicViewer* Find(std::int32_t user) const;
    void Clear() { viewers_.clear(); }

  private:
    std::vector<TPrivateMicViewer> viewers_;
};
