// One preset held in memory: name, category, file, and two full sets of
// parameter values, the stored ones (initial) and the edited ones (current).
// Keeping both lets the user compare an edit with the stored preset.
#pragma once

#include <atomic>
#include <string>
#include <vector>

// A value that the host's audio thread (automation) and its user-interface
// thread read and write without a lock: loaded and stored whole, as a
// relaxed atomic; copied by value.
template <typename T>
class Relaxed {
public:
    Relaxed(T v = T()) : value(v) {}
    Relaxed(const Relaxed& other) : value(other) {}
    Relaxed& operator=(const Relaxed& other) { return *this = (T)other; }
    Relaxed& operator=(T v)
    {
        value.store(v, std::memory_order_relaxed);
        return *this;
    }
    operator T() const { return value.load(std::memory_order_relaxed); }

private:
    std::atomic<T> value;
};

enum ValueType { VALUE_INITIAL = 0, VALUE_CURRENT = 1 };

class Program {
public:
    Program(size_t numParameters, bool readOnly);
    Program(const Program& other);
    Program& operator=(const Program& other);

    // The value of the active set; 0 for an index outside the table.
    float getValue(int index) const;
    // Writes the current set; an edit away from the stored value marks the
    // program modified (never cleared here).
    void setValue(int index, float value);
    // Writes both sets (loading).
    void setStoredValue(int index, float value);
    float initialValue(int index) const;
    float currentValue(int index) const;
    size_t numValues() const { return initialValues.size(); }

    void setValueType(int valueType);
    bool isShowingCurrent() const { return activeValues != VALUE_INITIAL; }
    ValueType activeValueType() const { return activeValues; }

    void revert();  // current = initial, not modified
    void commit();  // initial = current, not modified
    void clearReadOnly() { readOnly = false; }

    std::string name;
    std::string category;
    std::string filePath;
    Relaxed<bool> modified = false;
    bool readOnly = false;

private:
    bool validIndex(int index) const { return index >= 0 && (size_t)index < initialValues.size(); }
    const std::vector<Relaxed<float>>& active() const
    {
        return activeValues == VALUE_INITIAL ? initialValues : currentValues;
    }

    std::vector<Relaxed<float>> initialValues;
    std::vector<Relaxed<float>> currentValues;
    ValueType activeValues = VALUE_CURRENT;
};
