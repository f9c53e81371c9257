# The Exec value of the menu entry for the program at path: the path in double quotes, so that a prefix with
# spaces still names one program. Inside the quotes \ " ` $ take a backslash, and the value as a whole, like
# every string of the entry, then has each backslash doubled; a % is written %%.
function(tanamiru_desktop_exec out path)
    string(REPLACE "\\" "\\\\" quoted "${path}")
    string(REPLACE "\"" "\\\"" quoted "${quoted}")
    string(REPLACE "`" "\\`" quoted "${quoted}")
    string(REPLACE "$" "\\$" quoted "${quoted}")
    string(REPLACE "\\" "\\\\" quoted "${quoted}")
    string(REPLACE "%" "%%" quoted "${quoted}")
    set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

# Writes the menu entry from template to output for the program at path.
function(tanamiru_write_desktop_entry template path output)
    tanamiru_desktop_exec(TANAMIRU_EXEC "${path}")
    configure_file("${template}" "${output}" @ONLY)
endfunction()
