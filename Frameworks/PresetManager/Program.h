// One preset held in memory: name, category, file, and two full sets of
// parameter values, the stored ones (initial) and the edited ones (current).
// Keeping both lets the user compare an edit with the stored preset.
#pragma once

#include <string>
#include <vector>

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
    bool modified = false;
    bool readOnly = false;

private:
    bool validIndex(int index) const { return index >= 0 && (size_t)index < initialValues.size(); }
    const std::vector<float>& active() const
    {
        return activeValues == VALUE_INITIAL ? initialValues : currentValues;
    }

    std::vector<float> initialValues;
    std::vector<float> currentValues;
    ValueType activeValues = VALUE_CURRENT;
};
