#include "builder/player_limits.h"

#include "builder/picture_label.h"
#include "core/file.h"

namespace grix {
namespace {

// Walks the pack's fields; answers false once the bytes run out.
class PackWalk {
public:
    explicit PackWalk(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool Int32(std::int64_t& value) {
        if (bytes_.size() - pos_ < 4) return false;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | bytes_[pos_++];
        value = static_cast<std::int32_t>(v);
        return true;
    }
    bool Skip(std::int64_t count) {
        if (count < 0 || static_cast<std::uint64_t>(count) > bytes_.size() - pos_) return false;
        pos_ += static_cast<std::size_t>(count);
        return true;
    }
    bool Text() {
        std::int64_t units = 0;
        return Int32(units) && Skip(units * 2);
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<PlayerRefusal> PlayerRefusals(const std::vector<std::optional<CellSize>>& sizes) {
    std::vector<PlayerRefusal> refusals(sizes.size(), PlayerRefusal::None);
    std::int64_t total = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (!sizes[i]) continue;
        const auto [width, height] = *sizes[i];
        const std::int64_t bytes = width * height / 8 + 1;
        if (width > kPlayerMaxSide) {
            refusals[i] = PlayerRefusal::TooWide;
        } else if (height > kPlayerMaxSide) {
            refusals[i] = PlayerRefusal::TooTall;
        } else if (total + bytes > kPlayerMaxCellBytes) {
            refusals[i] = PlayerRefusal::OverCellBytes;
        } else {
            total += bytes;
        }
    }
    return refusals;
}

std::vector<std::string> PlayerLimitWarnings(const CrosswordProject& project,
                                             const std::vector<std::uint8_t>& pack) {
    std::vector<std::string> warnings;
    PackWalk walk(pack);
    std::int64_t count = 0;
    if (!walk.Int32(count) || !walk.Text() || !walk.Text()) return warnings;
    std::vector<std::optional<CellSize>> sizes;
    for (std::int64_t i = 0; i < count; ++i) {
        std::int64_t width = 0;
        std::int64_t height = 0;
        if (!walk.Int32(width) || !walk.Int32(height) || width < 0 || height < 0) break;
        if (!walk.Skip(width * height / 8 + 1) || !walk.Text()) break;
        sizes.push_back(CellSize{width, height});
    }
    const std::vector<PlayerRefusal> refusals = PlayerRefusals(sizes);
    for (std::size_t row = 0; row < sizes.size(); ++row) {
        if (refusals[row] == PlayerRefusal::None) continue;
        const std::string label = PictureLabel(
            row + 1, row < project.pictures.size() ? project.pictures[row].path : std::string());
        const std::string size =
            std::to_string(sizes[row]->width) + " * " + std::to_string(sizes[row]->height);
        if (refusals[row] == PlayerRefusal::OverCellBytes) {
            warnings.push_back("Warning: " + label + " has too many cells (" + size +
                               "): with the pictures before it the suite passes the player's " +
                               std::to_string(kPlayerMaxCellBytes / 1024) +
                               " KB of cells, so phones list it as unavailable");
        } else {
            warnings.push_back("Warning: " + label + " is " + size + "; the player takes no side over " +
                               std::to_string(kPlayerMaxSide) +
                               " cells, so phones list it as unavailable");
        }
    }
    return warnings;
}

void LogPlayerLimitWarnings(const CrosswordProject& project, const std::string& pack_path,
                            const LogSink& log) {
    if (!log) return;
    for (const std::string& line : PlayerLimitWarnings(project, ReadWholeFile(pack_path))) log(line);
}

}  // namespace grix
