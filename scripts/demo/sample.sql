-- Sample data for the demo server: a small shop with a few thousand rows.
SET SESSION max_recursive_iterations = 100000;
DROP DATABASE IF EXISTS sorvane_demo;
CREATE DATABASE sorvane_demo CHARACTER SET utf8mb4;
USE sorvane_demo;

CREATE TABLE products (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  name VARCHAR(60) NOT NULL,
  price DECIMAL(10,2) NOT NULL,
  stock INT NOT NULL DEFAULT 0,
  note TEXT NULL
) ENGINE=InnoDB;

CREATE TABLE customers (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  name VARCHAR(60) NOT NULL,
  email VARCHAR(80) NULL,
  city VARCHAR(40) NOT NULL,
  created DATE NOT NULL,
  KEY city (city)
) ENGINE=InnoDB;

CREATE TABLE orders (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  customer_id INT NOT NULL,
  product_id INT NOT NULL,
  quantity INT NOT NULL,
  ordered_at DATETIME NOT NULL,
  KEY customer_id (customer_id)
) ENGINE=MyISAM;

CREATE TABLE memo (
  id INT NOT NULL PRIMARY KEY,
  title VARCHAR(40) NOT NULL,
  body VARCHAR(200) NULL
) ENGINE=MyISAM;

INSERT INTO products (name, price, stock, note)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)
SELECT CONCAT('Product ', i), ROUND(1 + (i * 37 % 500) + (i % 100) / 100, 2), i * 13 % 250,
       IF(i % 7 = 0, NULL, CONCAT('Batch ', i % 12))
FROM n;

INSERT INTO customers (name, email, city, created)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
SELECT CONCAT('Customer ', i), IF(i % 9 = 0, NULL, CONCAT('customer', i, '@example.com')),
       ELT(1 + i % 6, 'Tokyo', 'Osaka', 'Berlin', 'Lisbon', 'Austin', 'Nagoya'),
       DATE_ADD('2020-01-01', INTERVAL i % 1500 DAY)
FROM n;

INSERT INTO orders (customer_id, product_id, quantity, ordered_at)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)
SELECT 1 + i * 7 % 3000, 1 + i * 11 % 200, 1 + i % 9, DATE_ADD('2024-01-01 09:00:00', INTERVAL i * 17 MINUTE)
FROM n;

INSERT INTO memo VALUES
  (1, '日本語のメモ', '表示の確認用です。'),
  (2, 'O''Brien', 'A value with a quote'),
  (3, 'back\\slash', NULL);
