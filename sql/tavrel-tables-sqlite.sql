-- The tables of a Tavrel task database in a SQLite file.
--   sqlite3 TaskDB.mdb < tavrel-tables-sqlite.sql
-- Made by task-db-sql from the programs' own table definitions; do not edit.

CREATE TABLE Sorvex_Tavrel_Files (
    file_number INTEGER NOT NULL CONSTRAINT file_pri_key PRIMARY KEY,
    task_UID INTEGER NOT NULL,
    file_name TEXT(255) NOT NULL,
    next_action DATETIME NOT NULL,
    file_comment TEXT(255),
    file_size BIGINT,
    size_checked DATETIME,
    intermediate TEXT,
    sample_number INTEGER,
    sorvex_task_id TEXT(32),
    peak_list TEXT(255)
);
CREATE INDEX file_task_index ON Sorvex_Tavrel_Files (task_UID);

CREATE TABLE Sorvex_Tavrel_Results (
    result_number INTEGER NOT NULL CONSTRAINT result_pri_key PRIMARY KEY,
    task_UID INTEGER NOT NULL,
    accession TEXT(255),
    hit_mass INTEGER,
    hit_score INTEGER,
    title_text TEXT(255),
    seq_database TEXT(255),
    input_data_file TEXT(255) NOT NULL,
    result_url TEXT(255),
    submitted DATETIME NOT NULL,
    returned DATETIME NOT NULL,
    result_comment TEXT(255),
    auto_print SMALLINT,
    quellmark_project TEXT(255)
);
CREATE INDEX result_task_index ON Sorvex_Tavrel_Results (task_UID);
CREATE INDEX result_print_index ON Sorvex_Tavrel_Results (auto_print);

CREATE TABLE Sorvex_Tavrel_Tasks (
    task_UID INTEGER NOT NULL CONSTRAINT task_pri_key PRIMARY KEY,
    task_label TEXT(255) NOT NULL,
    parameter_set TEXT(255) NOT NULL,
    import_filter TEXT(255),
    filter_options TEXT(255),
    schedule_type TEXT(20) NOT NULL,
    new_files_only SMALLINT,
    start_time DATETIME NOT NULL,
    monitor_directory TEXT(255),
    monitor_filename TEXT(255),
    follow_up SMALLINT,
    fu_score INTEGER,
    fu_repeat SMALLINT,
    fu_number INTEGER,
    fu_interval TEXT(20),
    fu_move SMALLINT,
    fu_discard SMALLINT,
    fu_task TEXT(255),
    task_status TEXT(20) NOT NULL,
    sub_directories SMALLINT,
    user_name TEXT(64),
    computer_name TEXT(64),
    auto_print SMALLINT,
    pre_task_command TEXT,
    pre_task_wait SMALLINT,
    pre_task_halt SMALLINT,
    pre_search_command TEXT,
    pre_search_wait SMALLINT,
    pre_search_halt SMALLINT,
    post_search_command TEXT,
    post_search_wait SMALLINT,
    post_search_halt SMALLINT,
    post_task_command TEXT,
    post_task_wait SMALLINT,
    post_task_halt SMALLINT,
    action_request TEXT(32),
    action_response TEXT(255),
    merge_data_files SMALLINT,
    search_priority SMALLINT,
    sorvex_user_id INTEGER,
    filter_fields TEXT
);
CREATE INDEX task_request_index ON Sorvex_Tavrel_Tasks (action_request);
