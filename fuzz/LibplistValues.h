// Reading bytes with libplist and comparing the values of two libplist trees, for the fuzz targets'
// oracle: what the loading step accepts must carry the values libplist reads from the same bytes.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include <plist/plist.h>

namespace carryover::fuzz {

// A libplist tree that frees itself.
class Libplist {
  public:
    explicit Libplist(std::string_view bytes) {
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &plist_);
    }
    ~Libplist() {
        if (plist_) plist_free(plist_);
    }
    Libplist(const Libplist&) = delete;
    Libplist& operator=(const Libplist&) = delete;

    plist_t get() const { return plist_; }
    bool isDictionary() const { return plist_ && plist_get_node_type(plist_) == PLIST_DICT; }

  private:
    plist_t plist_ = nullptr;
};

// The text of a string or key node, got by `get` (plist_get_string_val or plist_get_key_val).
inline std::string textOf(plist_t node, void (*get)(plist_t, char**)) {
    char* value = nullptr;
    get(node, &value);
    std::string text = value ? value : "";
    std::free(value);
    return text;
}

// Whether `dictionary` holds some key twice, which libplist keeps from a binary list and drops
// from XML: such dictionaries are not compared.
inline bool holdsAKeyTwice(plist_t dictionary) {
    std::set<std::string> keys;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dictionary, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dictionary, iter, &key, &value);
        if (!key) break;
        keys.insert(key);
        std::free(key);
    }
    std::free(iter);
    return keys.size() != plist_dict_get_size(dictionary);
}

// Whether `dictionary` is the form XML gives the UID `uid`: the one entry CF$UID, an integer.
inline bool sameUid(plist_t uid, plist_t dictionary) {
    plist_t entry = plist_dict_get_item(dictionary, "CF$UID");
    if (plist_dict_get_size(dictionary) != 1 || !entry || plist_get_node_type(entry) != PLIST_UINT)
        return false;
    uint64_t x = 0, y = 0;
    plist_get_uid_val(uid, &x);
    plist_get_uint_val(entry, &y);
    return x == y;
}

// Whether two libplist trees hold the same values: the same kinds, integers, texts and bytes; reals
// equal or both NaN; dates to the second, as XML holds no fractions; dictionaries as maps; a UID as the
// dictionary XML writes for it.
inline bool sameValues(plist_t a, plist_t b) {
    const plist_type type = plist_get_node_type(a);
    if (type == PLIST_UID && plist_get_node_type(b) == PLIST_DICT) return sameUid(a, b);
    if (type != plist_get_node_type(b)) return false;
    switch (type) {
    case PLIST_BOOLEAN: {
        uint8_t x = 0, y = 0;
        plist_get_bool_val(a, &x);
        plist_get_bool_val(b, &y);
        return x == y;
    }
    case PLIST_UINT:
    case PLIST_UID: {
        uint64_t x = 0, y = 0;
        if (type == PLIST_UID) {
            plist_get_uid_val(a, &x);
            plist_get_uid_val(b, &y);
        } else {
            plist_get_uint_val(a, &x);
            plist_get_uint_val(b, &y);
        }
        return x == y;
    }
    case PLIST_REAL: {
        double x = 0, y = 0;
        plist_get_real_val(a, &x);
        plist_get_real_val(b, &y);
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    case PLIST_STRING:
        return textOf(a, plist_get_string_val) == textOf(b, plist_get_string_val);
    case PLIST_KEY:
        return textOf(a, plist_get_key_val) == textOf(b, plist_get_key_val);
    case PLIST_DATE: {
        int32_t xs = 0, xu = 0, ys = 0, yu = 0;
        plist_get_date_val(a, &xs, &xu);
        plist_get_date_val(b, &ys, &yu);
        return xs == ys;
    }
    case PLIST_DATA: {
        char* x = nullptr;
        char* y = nullptr;
        uint64_t xl = 0, yl = 0;
        plist_get_data_val(a, &x, &xl);
        plist_get_data_val(b, &y, &yl);
        const bool same = xl == yl && (xl == 0 || std::memcmp(x, y, xl) == 0);
        std::free(x);
        std::free(y);
        return same;
    }
    case PLIST_ARRAY: {
        const uint32_t size = plist_array_get_size(a);
        if (size != plist_array_get_size(b)) return false;
        for (uint32_t i = 0; i < size; ++i)
            if (!sameValues(plist_array_get_item(a, i), plist_array_get_item(b, i))) return false;
        return true;
    }
    case PLIST_DICT: {
        if (holdsAKeyTwice(a) || holdsAKeyTwice(b)) return true;
        if (plist_dict_get_size(a) != plist_dict_get_size(b)) return false;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(a, &iter);
        bool same = true;
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(a, iter, &key, &value);
            if (!key) break;
            plist_t other = plist_dict_get_item(b, key);
            std::free(key);
            if (!other || !sameValues(value, other)) {
                same = false;
                break;
            }
        }
        std::free(iter);
        return same;
    }
    case PLIST_NONE:
        return true;
    }
    return false;
}

} // namespace carryover::fuzz
