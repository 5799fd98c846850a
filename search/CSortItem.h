#pragma once

// One sort key of a catalog: what is compared and in which direction.

class CSortItem final {
public:
    // Built-in keys; a key n >= 0 compares the values of category n.
    static constexpr int kName = -1;
    static constexpr int kDate = -2;
    static constexpr int kSize = -3;
    static constexpr int kExtension = -4;
    static constexpr int kFolder = -5;

    CSortItem() = default;
    explicit CSortItem(int key, bool ascending = true) : m_key(key), m_ascending(ascending) {}

    int key() const { return m_key; }
    void setKey(int key) { m_key = key; }
    bool ascending() const { return m_ascending; }
    void setAscending(bool ascending) { m_ascending = ascending; }
    bool isCategoryKey() const { return m_key >= 0; }

    bool operator==(const CSortItem&) const = default;

private:
    int m_key = 0;
    bool m_ascending = true;
};
